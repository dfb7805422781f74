#include "PanelRecords.h"

void PrintTo(const PanelValues& v, std::ostream* os) {
    *os << "{" << v.ip.toStdString() << ", " << v.port << ", " << v.constIp << ", " << v.autoIp
        << ", " << v.connectAuto << "}";
}

void DeclarePanelRecords(TProgConfig& store) {
    store.SetConfigName(PANEL_CONFIG_NAME);
    store.AddRecord(QStringLiteral("ServerTCP-IP"), QStringLiteral("192.168.0.222"));
    store.AddRecord(QStringLiteral("ServerTCP-Port"), 502);
    store.AddRecord(QStringLiteral("ServerTCP-ConstIP"), true);
    store.AddRecord(QStringLiteral("ServerTCP-AutoIP"), false);
    store.AddRecord(QStringLiteral("ServerTCP-ConnectAuto"), true);
}

PanelValues ReadPanel(const TProgConfig& store) {
    PanelValues v;
    store.ReadVal(1, v.ip);
    store.ReadVal(2, v.port);
    store.ReadVal(3, v.constIp);
    store.ReadVal(4, v.autoIp);
    store.ReadVal(5, v.connectAuto);
    return v;
}

void WritePanel(TProgConfig& store, const PanelValues& v) {
    store.WriteVal(1, v.ip);
    store.WriteVal(2, v.port);
    store.WriteVal(3, v.constIp);
    store.WriteVal(4, v.autoIp);
    store.WriteVal(5, v.connectAuto);
}
