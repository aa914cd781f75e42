#pragma once

#include "cli/CheckCommand.h"
#include "cli/DiffCommand.h"

#include "tests/common/FetchWait.h"
#include "tests/common/QtPrinters.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QSignalSpy>

namespace friendlinks {

// `friendlinks check` run in-process through an in-process fakeweb, with its stdout and stderr kept.
class CommandFixture : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_web.listen()); }

    // `friendlinks check ARGUMENTS...` through fakeweb's proxy; returns the exit status.
    int check(QStringList arguments)
    {
        arguments.prepend(QStringLiteral("check"));
        ParsedArguments parsed = parseArguments(arguments);
        EXPECT_EQ(parsed.action, ParsedArguments::Action::Check) << parsed.error.toStdString();
        parsed.options.settings.proxy = m_web.proxy();
        return run(parsed.options);
    }

    // `friendlinks diff ARGUMENTS...`; returns the exit status.
    int diff(const QStringList &arguments)
    {
        openBuffers();
        return runDiff(arguments, &m_out, &m_err);
    }

    int run(const CheckOptions &options)
    {
        openBuffers();
        CheckCommand command(options, &m_out, &m_err, false, false);
        QSignalSpy finished(&command, &CheckCommand::finished);
        command.start();
        EXPECT_TRUE(finished.wait(kWaitMs));
        return finished.isEmpty() ? -1 : finished.first().first().toInt();
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
