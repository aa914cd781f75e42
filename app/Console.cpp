#include "app/Console.h"

#ifdef Q_OS_WIN
#include <QCoreApplication>
#include <QDir>

#include <qt_windows.h>
#include <shellapi.h>

#include <cstdio>
#include <fcntl.h>
#include <iterator>
#include <io.h>
#endif

namespace friendlinks {

#ifdef Q_OS_WIN

QStringList commandArguments(int, char **)
{
    QStringList arguments;
    int count = 0;
    if (wchar_t **wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i)
            arguments << QString::fromWCharArray(wide[i]);
        LocalFree(wide);
    }
    return arguments;
}

void findPluginsBesideProgram()
{
    wchar_t path[32768];
    const DWORD length = GetModuleFileNameW(nullptr, path, DWORD(std::size(path)));
    if (length == 0 || length == std::size(path))
        return;
    const QString program = QDir::fromNativeSeparators(QString::fromWCharArray(path, int(length)));
    QCoreApplication::addLibraryPath(program.left(program.lastIndexOf(QLatin1Char('/'))));
}

namespace {

constexpr DWORD kStreams[2] = {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};

} // namespace

ConsoleSession::ConsoleSession()
{
    std::fflush(stdout);
    std::fflush(stderr);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    if (const UINT page = GetConsoleOutputCP(); page != 0 && page != CP_UTF8 && SetConsoleOutputCP(CP_UTF8))
        m_outputCodePage = page;
    for (int i = 0; i < 2; ++i) {
        DWORD mode = 0;
        HANDLE stream = GetStdHandle(kStreams[i]);
        if (GetConsoleMode(stream, &mode) && SetConsoleMode(stream, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING))
            m_modes[i] = mode;
    }
}

ConsoleSession::~ConsoleSession()
{
    std::fflush(stdout);
    std::fflush(stderr);
    if (m_outputCodePage != 0)
        SetConsoleOutputCP(m_outputCodePage);
    for (int i = 0; i < 2; ++i) {
        if (m_modes[i] != 0)
            SetConsoleMode(GetStdHandle(kStreams[i]), m_modes[i]);
    }
}

#else

QStringList commandArguments(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

void findPluginsBesideProgram() {}

ConsoleSession::ConsoleSession() = default;
ConsoleSession::~ConsoleSession() = default;

#endif

} // namespace friendlinks
