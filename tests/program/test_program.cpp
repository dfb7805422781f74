// The built kovalta program itself, run offscreen against the gateway simulator from a copy in a
// directory of its own, where the settings file beside it points at 127.0.0.1. A request to end
// the process closes the window through the event loop: the program exits normally and the
// settings file holds what the settings page showed.
#include "G700SimProcess.h"
#include "QtPrinters.h"

#include <QDomDocument>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>

namespace {

QString Saved(const QString& Path, const QString& Name) {
    QFile file(Path);
    QDomDocument document;
    if (!file.open(QIODevice::ReadOnly) || !document.setContent(&file)) {
        return {};
    }
    return document.documentElement().firstChildElement(Name).text();
}

TEST(Program, EndsOnRequestThroughItsWindowAndSavesTheSettings) {
    TG700SimProcess sim(G700_SIM_PATH, {});
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("kovalta"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(KOVALTA_PATH), program));
    const QString settings = dir.filePath(QStringLiteral("Kovalta_Config.xml"));
    // The port in hexadecimal and both address modes set: the file saved at exit says it in
    // the program's own words.
    QFile file(settings);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("<Kovalta_Config>\n  <Records>5</Records>\n"
                              "  <ServerTCP-IP>127.0.0.1</ServerTCP-IP>\n"
                              "  <ServerTCP-Port>$%1</ServerTCP-Port>\n"
                              "  <ServerTCP-ConstIP>1</ServerTCP-ConstIP>\n"
                              "  <ServerTCP-AutoIP>1</ServerTCP-AutoIP>\n"
                              "  <ServerTCP-ConnectAuto>1</ServerTCP-ConnectAuto>\n"
                              "</Kovalta_Config>\n")
                   .arg(sim.Port(), 0, 16)
                   .toUtf8());
    file.close();

    QProcess panel;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    panel.setProcessEnvironment(environment);
    panel.setProcessChannelMode(QProcess::MergedChannels);
    panel.start(program, {});
    ASSERT_TRUE(panel.waitForStarted(5000));
    // The panel connects by itself after its start delay of two seconds.
    const bool connected = sim.WaitForLine("connection from", std::chrono::seconds(20));
    panel.terminate(); // SIGTERM
    const bool ended = panel.waitForFinished(15000);
    if (!ended) {
        panel.kill();
        panel.waitForFinished(5000);
    }
    const std::string output = panel.readAll().toStdString();
    ASSERT_TRUE(connected) << output;
    ASSERT_TRUE(ended) << output;
    EXPECT_EQ(panel.exitStatus(), QProcess::NormalExit) << output;
    EXPECT_EQ(panel.exitCode(), 0) << output;

    EXPECT_EQ(Saved(settings, "ServerTCP-IP"), "127.0.0.1");
    EXPECT_EQ(Saved(settings, "ServerTCP-Port"), QString::number(sim.Port()));
    EXPECT_EQ(Saved(settings, "ServerTCP-ConstIP"), "0");
    EXPECT_EQ(Saved(settings, "ServerTCP-AutoIP"), "1");
    EXPECT_EQ(Saved(settings, "ServerTCP-ConnectAuto"), "1");
}

} // namespace
