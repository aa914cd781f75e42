#pragma once

#include "cli/CheckCommand.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/DiffCommand.h"

#include "tests/common/FetchWait.h"
#include "tests/common/QtPrinters.h"

#include <QBuffer>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>

#include <memory>

namespace friendlinks {

// `friendlinks check` run in-process through an in-process fakeweb, with its stdout and stderr kept.
class CommandFixture : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_web.listen()); }

    // `friendlinks check ARGUMENTS...` through fakeweb's proxy; returns the exit status. With out given,
    // stdout goes there instead of the buffer out() reads.
    int check(QStringList arguments, QIODevice *out = nullptr)
    {
        arguments.prepend(QStringLiteral("check"));
        ParsedArguments parsed = parseArguments(arguments);
        EXPECT_EQ(parsed.action, ParsedArguments::Action::Run) << parsed.error.toStdString();
        parsed.options.settings.proxy = m_web.proxy();
        openBuffers();
        CheckCommand command(parsed.options, out ? out : &m_out, &m_err, false, false);
        QSignalSpy finished(&command, &CheckCommand::finished);
        command.start();
        EXPECT_TRUE(finished.wait(kWaitMs));
        return finished.isEmpty() ? -1 : finished.first().first().toInt();
    }

    // `friendlinks diff ARGUMENTS...`, parsed and run as the program runs it; returns the exit status.
    int diff(const QStringList &arguments, QIODevice *out = nullptr)
    {
        openBuffers();
        int argc = 0;
        return runParsed(parseArguments(QStringList{QStringLiteral("diff")} + arguments),
                         Invocation{argc, nullptr, out ? out : &m_out, &m_err});
    }

    // A stdout that takes nothing, as a full disk: /dev/full, unbuffered.
    static std::unique_ptr<QFile> fullDisk()
    {
        auto file = std::make_unique<QFile>(QStringLiteral("/dev/full"));
        EXPECT_TRUE(file->open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        return file;
    }

    void openBuffers()
    {
        for (QBuffer *buffer : {&m_out, &m_err}) {
            buffer->close();
            buffer->setData({});
            buffer->open(QIODevice::WriteOnly);
        }
    }

    [[nodiscard]] QString out() const { return QString::fromUtf8(m_out.data()); }
    [[nodiscard]] QString err() const { return QString::fromUtf8(m_err.data()); }
    // stdout with the time each row took, the one figure that differs from run to run, set to 0.
    [[nodiscard]] QString outAtZeroMs() const { return out().replace(QRegularExpression(R"("ms": \d+)"), R"("ms": 0)"); }

    fakeweb::FakeWeb m_web;
    QBuffer m_out;
    QBuffer m_err;
};

} // namespace friendlinks
