// The echo switch of standard input, for the password prompt.
#include "cli/cli.h"

#ifdef _WIN32
#include <windows.h>

bool CliSetEcho(bool on) {
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    if (!GetConsoleMode(in, &mode)) return false;
    mode = on ? (mode | ENABLE_ECHO_INPUT) : (mode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
    return SetConsoleMode(in, mode) != 0;
}

#else
#include <termios.h>
#include <unistd.h>

bool CliSetEcho(bool on) {
    termios t{};
    if (tcgetattr(STDIN_FILENO, &t) != 0) return false;
    if (on)
        t.c_lflag |= ECHO;
    else
        t.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    return tcsetattr(STDIN_FILENO, TCSAFLUSH, &t) == 0;
}

#endif
