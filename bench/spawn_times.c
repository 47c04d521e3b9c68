// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

// Median wall and CPU time of starting programs, for bench/startup.sh:
//   spawn_times ROUNDS COMMAND [:: COMMAND]...
// Each round runs every command once, in turn, and every other round in the
// reverse order (A B B A for two), so that a load on the machine falls on
// all of them alike and none always follows the same one; the first rounds
// warm the caches and are not counted. Wall time is taken from before the fork to
// after the wait, CPU time is the child's user and system time. Prints one
// line per command: its median wall and CPU time in microseconds. The
// commands' standard output goes to /dev/null.
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

enum { warmup_rounds = 20, max_commands = 16 };

static double seconds(struct timeval t)
{
    return (double)t.tv_sec + (double)t.tv_usec * 1e-6;
}

static int compare(const void* a, const void* b)
{
    double x = *(const double*)a, y = *(const double*)b;
    return (x > y) - (x < y);
}

static double median(double* values, int count)
{
    qsort(values, (size_t)count, sizeof *values, compare);
    return count % 2 ? values[count / 2] : (values[count / 2 - 1] + values[count / 2]) / 2;
}

int main(int argc, char** argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: spawn_times ROUNDS COMMAND [:: COMMAND]...\n");
        return 2;
    }
    int rounds = atoi(argv[1]);
    char** commands[max_commands];
    int count = 0;
    commands[count++] = &argv[2];
    for (int k = 2; k < argc; ++k) {
        if (strcmp(argv[k], "::") == 0 && k + 1 < argc && count < max_commands) {
            argv[k] = NULL;
            commands[count++] = &argv[k + 1];
        }
    }
    int null = open("/dev/null", O_WRONLY);
    if (rounds < 1 || null < 0 || dup2(null, STDOUT_FILENO) < 0) {
        return 2;
    }
    double* wall = malloc(sizeof(double) * (size_t)(rounds * count));
    double* cpu = malloc(sizeof(double) * (size_t)(rounds * count));
    if (wall == NULL || cpu == NULL) {
        return 2;
    }
    for (int round = -warmup_rounds; round < rounds; ++round) {
        for (int turn = 0; turn < count; ++turn) {
            int c = round % 2 == 0 ? turn : count - 1 - turn;
            struct timespec start, end;
            struct rusage usage;
            int status;
            clock_gettime(CLOCK_MONOTONIC, &start);
            pid_t child = vfork();
            if (child == 0) {
                execv(commands[c][0], commands[c]);
                _exit(127);
            }
            if (child < 0 || wait4(child, &status, 0, &usage) != child) {
                return 2;
            }
            clock_gettime(CLOCK_MONOTONIC, &end);
            if (!WIFEXITED(status) || WEXITSTATUS(status) == 127) {
                fprintf(stderr, "spawn_times: %s did not run\n", commands[c][0]);
                return 2;
            }
            if (round >= 0) {
                wall[c * rounds + round] = (double)(end.tv_sec - start.tv_sec) +
                                           (double)(end.tv_nsec - start.tv_nsec) * 1e-9;
                cpu[c * rounds + round] = seconds(usage.ru_utime) + seconds(usage.ru_stime);
            }
        }
    }
    for (int c = 0; c < count; ++c) {
        fprintf(stderr, "%.2f %.2f\n", median(wall + c * rounds, rounds) * 1e6,
                median(cpu + c * rounds, rounds) * 1e6);
    }
    return 0;
}
