#include "calculator.h"

int main(int argc, char* argv[])
{
    return finish_output(run_calculator(argc, argv));
}
