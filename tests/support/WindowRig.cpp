#include "WindowRig.h"

#include "SaunaREG.h"

#include <QDomDocument>
#include <QFile>

namespace {

QString Flag(bool Val) {
    return Val ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

void WriteSettingsFile(const QString& Path, const TSettingsFile& File) {
    const QString text = QStringLiteral("<Kovalta_Config>\n  <Records>5</Records>\n"
                                        "  <ServerTCP-IP>%1</ServerTCP-IP>\n"
                                        "  <ServerTCP-Port>%2</ServerTCP-Port>\n"
                                        "  <ServerTCP-ConstIP>%3</ServerTCP-ConstIP>\n"
                                        "  <ServerTCP-AutoIP>%4</ServerTCP-AutoIP>\n"
                                        "  <ServerTCP-ConnectAuto>%5</ServerTCP-ConnectAuto>\n"
                                        "</Kovalta_Config>\n")
                             .arg(File.Address, File.PortNum, Flag(File.ConstIP), Flag(File.AutoIP),
                                  Flag(File.ConnectAuto));
    QFile file(Path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(text.toUtf8());
    }
}

WindowRig::WindowRig(const std::optional<TSettingsFile>& File) {
    if (File) {
        WriteSettingsFile(SettingsPath(), *File);
    }
    Start();
}

WindowRig::~WindowRig() {
    Close();
}

void WindowRig::Start() {
    auto client = std::make_unique<FakeTCPClient>();
    Fake = client.get();
    Window = std::make_unique<TKovMainNavigation>(Dir.path(), std::move(client));
    // Ticks come from the tests alone.
    Window->Port->SocketTimer->stop();
}

void WindowRig::Close() {
    Window.reset();
    Fake = nullptr;
}

void WindowRig::Tick(int Count) {
    for (int tick = 0; tick < Count; ++tick) {
        Fake->Advance(TDravonPort::TICK_MS);
        Window->Port->SocketTimerTick();
    }
}

QString WindowRig::Saved(const QString& Name) const {
    QFile file(SettingsPath());
    QDomDocument document;
    if (!file.open(QIODevice::ReadOnly) || !document.setContent(&file)) {
        return {};
    }
    return document.documentElement().firstChildElement(Name).text();
}

QString WindowRig::SettingsPath() const {
    return Dir.filePath(QStringLiteral("Kovalta_Config.xml"));
}

void WindowRig::Raise(TPortStatus State, TPortError ECode, bool Connected) {
    Fake->SetConnected(Connected);
    Window->Port->SetStatus(State);
    Window->Port->SetErrorCode(ECode);
    Window->Port->OnTrans(State);
}

void FillHeatingSauna(TSaunaMX& Sauna) {
    Sauna.WriteTableREG(REG_TEMP_ACT, 853);
    Sauna.WriteTableREG(REG_TEMP_SET, 900);
    Sauna.WriteTableREG(REG_HEAT_MODE, 1);
    Sauna.WriteTableREG(REG_CONFIG_TYPE, 30);
    Sauna.WriteTableREG(REG_LIGHT2_AVAIL, 1);
    Sauna.WriteTableREG(REG_VENT_AVAIL, 1);
    Sauna.WriteTableREG(REG_CONTROLLER_TYPE, 0x32);
    Sauna.WriteTableREG(REG_FIRMWARE_VERSION, 0x110);
    Sauna.WriteTableREG(REG_WORK_TIMER, 30);
    Sauna.WriteTableREG(REG_WORK_TIME_SET, 120);
    Sauna.WriteTableBIT(BIT_HEATER, true);
    Sauna.WriteTableBIT(BIT_LIGHT1, true);
}
