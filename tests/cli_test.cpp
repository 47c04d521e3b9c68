// SPDX-FileCopyrightText: 2026 the tarvelin authors
// SPDX-License-Identifier: MIT

// The entry logic run in-process, for argument vectors that no shell can
// produce: an empty one, and a program name that is not the program's path.

#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "calculator.h"

#ifdef _WIN32
#include <io.h>
#define dup _dup
#define dup2 _dup2
#define close _close
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace {

// Runs the calculator with standard output sent to a temporary file and
// returns what it wrote.
std::string run_captured(int argc, char* argv[], int& status)
{
    std::FILE* capture = std::tmpfile();
    if (capture == nullptr)
        return "(no temporary file)";
    std::fflush(stdout);
    const int saved = dup(fileno(stdout));
    dup2(fileno(capture), fileno(stdout));
    status = run_calculator(argc, argv);
    std::fflush(stdout);
    dup2(saved, fileno(stdout));
    close(saved);

    std::string written;
    std::rewind(capture);
    for (int c = std::fgetc(capture); c != EOF; c = std::fgetc(capture))
        written += static_cast<char>(c);
    std::fclose(capture);
    return written;
}

std::string syntax_line(const std::string& written)
{
    const std::string::size_type start = written.find(" Syntax:");
    if (start == std::string::npos)
        return "(no syntax line)";
    return written.substr(start, written.find('\n', start) - start);
}

TEST(Calculator, EmptyArgumentVectorShowsUsageWithEmptyName)
{
    char* argv[] = {nullptr};
    int status = -1;
    const std::string written = run_captured(0, argv, status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(syntax_line(written), " Syntax:  <Zinssatz in %> <Inflationsrate in %> [Optionen]");
}

TEST(Calculator, ProgramNameShownAsGiven)
{
    char name[] = "C:\\Programme\\TARVELIN.EXE";
    char rate[] = "5";
    char* argv[] = {name, rate, nullptr};
    int status = -1;
    const std::string written = run_captured(2, argv, status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(syntax_line(written),
              " Syntax: C:\\Programme\\TARVELIN.EXE <Zinssatz in %> <Inflationsrate in %> "
              "[Optionen]");
}

// Argument 0 is the program's name, whatever it is, and never the option: a
// program started as "-m" (a link of that name) prints the one-line report.
TEST(Calculator, ProgramNamedLikeTheOptionIsNotTheOption)
{
    char option[] = "-m";
    char plain[] = "tarvelin";
    char nominal[] = "5";
    char inflation[] = "2";
    char* named_option[] = {option, nominal, inflation, nullptr};
    char* named_plain[] = {plain, nominal, inflation, nullptr};
    int status = -1;
    int plain_status = -1;
    EXPECT_EQ(run_captured(3, named_option, status), run_captured(3, named_plain, plain_status));
    EXPECT_EQ(status, plain_status);
}

}  // namespace
