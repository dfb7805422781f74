// The main window against the screen's tables: controls, geometry, tags, texts, fonts, colours,
// hints, image lists and the window itself.
#include "KovMainForm.h"

#include "QtPrinters.h"
#include "SaunaREG.h"
#include "TControlEffect.h"
#include "TDockBar.h"
#include "TGlyph.h"
#include "TImageList.h"
#include "TPie.h"
#include "TRectangle.h"
#include "TScrollBar.h"
#include "TStyledButton.h"
#include "TextColor.h"

#include <QApplication>
#include <QLinearGradient>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <vector>

namespace {

// Colours of the layout, by the CSS keyword the screen's tables use.
constexpr QRgb Black = 0xFF000000;
constexpr QRgb DimGray = 0xFF696969;
constexpr QRgb Brown = 0xFFA52A2A;
constexpr QRgb Firebrick = 0xFFB22222;
constexpr QRgb DodgerBlue = 0xFF1E90FF;
constexpr QRgb DarkGray = 0xFFA9A9A9;
constexpr QRgb DarkOrange = 0xFFFF8C00;
constexpr QRgb Chocolate = 0xFFD2691E;
constexpr QRgb Green = 0xFF008000;
constexpr QRgb LightSkyBlue = 0xFF87CEFA;
constexpr QRgb Crimson = 0xFFDC143C;
constexpr QRgb Blue = 0xFF0000FF;
constexpr QRgb MediumBlue = 0xFF0000CD;
constexpr QRgb Band = 0xFF222222;

// One window for the whole suite: it is built once, offscreen, and shown like at start-up.
class ScreenStructure : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Window = std::make_unique<TKovMainForm>();
        Window->show();
        QApplication::processEvents();
    }
    static void TearDownTestSuite() { Window.reset(); }

    template <typename T = QWidget> static T* Control(const char* name) {
        return Window->findChild<T*>(QLatin1String(name));
    }

    static std::unique_ptr<TKovMainForm> Window;
};
std::unique_ptr<TKovMainForm> ScreenStructure::Window;

struct TPlacement {
    const char* Name;
    const char* Class;
    const char* Parent;
    QRect Geometry;
};

// Every named control: its class, the control it lies in, and its place there.
const std::vector<TPlacement> Placements{
    {"ToolBarTop", "TDockBar", "TKovMainNavigation", {0, 0, 420, 48}},
    {"RectBarTop", "TRectangle", "ToolBarTop", {0, 0, 420, 48}},
    {"StatusLabel", "TFitLabel", "ToolBarTop", {0, 0, 420, 17}},
    {"RectConnStatus", "TRectangle", "RectBarTop", {8, 30, 20, 6}},
    {"LabTx", "QLabel", "RectBarTop", {36, 26, 32, 14}},
    {"LabRx", "QLabel", "RectBarTop", {60, 26, 32, 14}},
    {"LabG700Stat", "QLabel", "RectBarTop", {328, 26, 44, 14}},
    {"PanelTopDisplay", "QWidget", "TKovMainNavigation", {0, 48, 420, 190}},
    {"RectMainDisplay", "TRectangle", "PanelTopDisplay", {0, 0, 420, 190}},
    {"LabSaunaAddr", "TFitLabel", "RectMainDisplay", {10, 0, 120, 29}},
    {"Rectangle7LED", "TRectangle", "RectMainDisplay", {40, 30, 180, 80}},
    {"LEDDisp1", "TGlyph", "Rectangle7LED", {0, 0, 58, 80}},
    {"LEDDisp2", "TGlyph", "Rectangle7LED", {61, 0, 58, 80}},
    {"LEDDisp3", "TGlyph", "Rectangle7LED", {122, 0, 58, 80}},
    {"LabelTempSet", "TFitLabel", "RectMainDisplay", {44, 119, 180, 71}},
    {"LabWorkTimer", "TFitLabel", "RectMainDisplay", {260, 0, 136, 50}},
    {"LabSetWorkTime", "TFitLabel", "RectMainDisplay", {260, 50, 136, 50}},
    {"RectTimer", "TRectangle", "RectMainDisplay", {300, 110, 60, 60}},
    {"ImgTimer", "TGlyph", "RectTimer", {0, 0, 60, 60}},
    {"PieWorkTimer", "TPie", "RectTimer", {0, 0, 60, 60}},
    {"TabControl", "QStackedWidget", "TKovMainNavigation", {0, 238, 420, 598}},
    {"ToolBarBottom", "TDockBar", "TKovMainNavigation", {0, 836, 420, 48}},
    // Page 0
    {"Rectangle1", "TRectangle", "TabPanel", {0, 0, 420, 55}},
    {"LabelTab1", "QLabel", "Rectangle1", {0, 12, 420, 30}},
    {"Image1", "TGlyph", "TabPanel", {10, 2, 50, 50}},
    {"Rectangle2", "TRectangle", "TabPanel", {10, 66, 160, 94}},
    {"LabInfo1", "QLabel", "Rectangle2", {0, 10, 160, 25}},
    {"LabConType", "TFitLabel", "Rectangle2", {0, 35, 160, 35}},
    {"Rectangle7", "TRectangle", "TabPanel", {10, 170, 160, 90}},
    {"Label9", "QLabel", "Rectangle7", {0, 10, 160, 25}},
    {"LabConVersion", "TFitLabel", "Rectangle7", {0, 35, 160, 35}},
    {"BtSaunaMode", "TStyledButton", "TabPanel", {10, 468, 160, 90}},
    // Two lines on the face, left of the picture box.
    {"Label7", "QLabel", "BtSaunaMode", {4, 24, 90, 56}},
    {"RectBtSS", "TRectangle", "TabPanel", {230, 60, 190, 533}},
    {"BtAromaSS", "TStyledButton", "RectBtSS", {20, 12, 160, 90}},
    {"BtVentSS", "TStyledButton", "RectBtSS", {22, 110, 160, 90}},
    {"BtLight2SS", "TStyledButton", "RectBtSS", {20, 210, 160, 90}},
    {"BtLight1SS", "TStyledButton", "RectBtSS", {20, 310, 160, 90}},
    {"BtHeaterSS", "TStyledButton", "RectBtSS", {20, 410, 160, 90}},
    {"LampAroma", "TLamp", "BtAromaSS", {8, 8, 30, 15}},
    {"LampVent", "TLamp", "BtVentSS", {8, 8, 30, 15}},
    {"LampLight2", "TLamp", "BtLight2SS", {8, 8, 30, 15}},
    {"LampLight1", "TLamp", "BtLight1SS", {8, 8, 30, 15}},
    {"LampHeater", "TLamp", "BtHeaterSS", {8, 8, 30, 15}},
    // Each device button's caption, placed like the heating-mode button's.
    {"LabAroma", "QLabel", "BtAromaSS", {4, 24, 90, 56}},
    {"LabVent", "QLabel", "BtVentSS", {4, 24, 90, 56}},
    {"LabLight2", "QLabel", "BtLight2SS", {4, 24, 90, 56}},
    {"LabLight1", "QLabel", "BtLight1SS", {4, 24, 90, 56}},
    {"LabHeater", "QLabel", "BtHeaterSS", {4, 24, 90, 56}},
    // Page 1
    {"Rectangle4", "TRectangle", "TabSetTemp", {0, 0, 420, 55}},
    {"Label1", "QLabel", "Rectangle4", {0, 12, 420, 30}},
    {"Image2", "TGlyph", "Rectangle4", {10, 2, 50, 50}},
    {"Rectangle3", "TRectangle", "TabSetTemp", {30, 65, 280, 460}},
    {"BtSetTempUp", "TStyledButton", "Rectangle3", {5, 5, 270, 90}},
    {"LabSetTemp", "TFitLabel", "Rectangle3", {5, 100, 270, 117}},
    {"BtSetTempDn", "TStyledButton", "Rectangle3", {5, 225, 270, 90}},
    {"BtSetTempWrite", "TStyledButton", "Rectangle3", {5, 360, 270, 90}},
    {"RectScrollSP", "TRectangle", "TabSetTemp", {320, 65, 90, 460}},
    {"LabSetTempMax", "TFitLabel", "RectScrollSP", {5, 5, 80, 25}},
    {"LabSetTempMin", "TFitLabel", "RectScrollSP", {5, 430, 80, 25}},
    {"ScBarSetTemp", "TScrollBar", "RectScrollSP", {1, 30, 88, 400}},
    // Page 2
    {"Rectangle8", "TRectangle", "TabSetTime", {0, 0, 420, 55}},
    {"Label8", "QLabel", "Rectangle8", {0, 12, 420, 30}},
    {"Image3", "TGlyph", "Rectangle8", {10, 2, 50, 50}},
    {"Rectangle9", "TRectangle", "TabSetTime", {30, 65, 280, 460}},
    {"BtSetTimeUp", "TStyledButton", "Rectangle9", {5, 5, 270, 90}},
    {"LabSetTime", "TFitLabel", "Rectangle9", {5, 100, 270, 117}},
    {"BtSetTimeDn", "TStyledButton", "Rectangle9", {5, 225, 270, 90}},
    {"BtSetTimeWrite", "TStyledButton", "Rectangle9", {5, 360, 270, 90}},
    {"Rectangle10", "TRectangle", "TabSetTime", {320, 65, 90, 460}},
    {"LabSetTimeMax", "TFitLabel", "Rectangle10", {5, 5, 80, 25}},
    {"LabSetTimeMin", "TFitLabel", "Rectangle10", {5, 430, 80, 25}},
    {"ScBarSetTime", "TScrollBar", "Rectangle10", {1, 30, 88, 400}},
    // Page 3
    {"Rectangle5", "TRectangle", "TabSetSauna", {0, 0, 420, 55}},
    {"Label2", "QLabel", "Rectangle5", {0, 12, 420, 30}},
    {"Image4", "TGlyph", "Rectangle5", {10, 2, 50, 50}},
    {"BtSelectSauna1", "TChoiceButton", "TabSetSauna", {20, 84, 160, 61}},
    {"BtSelectSauna2", "TChoiceButton", "TabSetSauna", {20, 164, 160, 61}},
    {"BtSelectSauna3", "TChoiceButton", "TabSetSauna", {20, 244, 160, 61}},
    {"Button1", "TChoiceButton", "TabSetSauna", {20, 324, 160, 61}},
    // Page 4
    {"Rectangle6", "TRectangle", "TabConfig", {0, 0, 420, 55}},
    {"Label3", "QLabel", "Rectangle6", {0, 12, 420, 30}},
    {"Image5", "TGlyph", "Rectangle6", {10, 2, 50, 50}},
    {"RectPortPram", "TRectangle", "TabConfig", {5, 60, 410, 129}},
    {"Label5", "QLabel", "RectPortPram", {10, 5, 400, 17}},
    {"EditTCP_IPNum", "QLineEdit", "RectPortPram", {10, 27, 390, 30}},
    {"Label6", "QLabel", "RectPortPram", {10, 62, 400, 17}},
    {"EditTCP_PortNum", "QLineEdit", "RectPortPram", {10, 84, 390, 30}},
    {"RectParam", "TRectangle", "TabConfig", {5, 199, 410, 110}},
    {"CheckBoxIPConst", "QCheckBox", "RectParam", {10, 10, 400, 20}},
    {"CheckBoxConnectAuto", "QCheckBox", "RectParam", {10, 40, 400, 20}},
    {"CheckBoxIPAuto", "QCheckBox", "RectParam", {10, 70, 400, 20}},
    {"BtWiFiConnect", "TStyledButton", "TabConfig", {255, 334, 160, 90}},
    {"LabSSSerwer", "TFitLabel", "BtWiFiConnect", {0, 32, 160, 25}},
    {"Rectangle11", "TRectangle", "TabConfig", {5, 488, 410, 100}},
    {"Image7", "TGlyph", "Rectangle11", {8, 8, 191, 49}},
    {"Label10", "QLabel", "Rectangle11", {8, 57, 217, 30}},
    // Bottom bar, as the layout spaces it (left margins 50, 20, 20, 20, 20)
    {"BtSelTabMain", "TStyledButton", "ToolBarBottom", {50, 0, 48, 48}},
    {"BtSelTabTemp", "TStyledButton", "ToolBarBottom", {118, 0, 48, 48}},
    {"BtSelTabTime", "TStyledButton", "ToolBarBottom", {186, 0, 48, 48}},
    {"BtSelTabParam", "TStyledButton", "ToolBarBottom", {254, 0, 48, 48}},
    {"BtSelTabSettings", "TStyledButton", "ToolBarBottom", {322, 0, 48, 48}},
};

TEST_F(ScreenStructure, EveryControlHasItsClassParentAndPlace) {
    for (const TPlacement& row : Placements) {
        SCOPED_TRACE(row.Name);
        const QWidget* control = Control(row.Name);
        ASSERT_NE(control, nullptr);
        EXPECT_STREQ(control->metaObject()->className(), row.Class);
        ASSERT_NE(control->parentWidget(), nullptr);
        EXPECT_EQ(control->parentWidget()->objectName(), QLatin1String(row.Parent));
        EXPECT_EQ(control->geometry(), row.Geometry);
    }
}

TEST_F(ScreenStructure, WindowIsAFixedPanelWithCaptionAndMinimiseBoxOnly) {
    EXPECT_EQ(Window->windowTitle(), QStringLiteral("Kovalta 1.10"));
    EXPECT_EQ(Window->size(), QSize(420, 884));
    EXPECT_EQ(Window->minimumSize(), QSize(420, 884));
    EXPECT_EQ(Window->maximumSize(), QSize(420, 884));
    const Qt::WindowFlags flags = Window->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowSystemMenuHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    Window->resize(600, 1000);
    EXPECT_EQ(Window->size(), QSize(420, 884));
}

TEST_F(ScreenStructure, PagesStandInIndexOrderWithTheLastOneStored) {
    const std::array<const char*, 5> pages{"TabPanel", "TabSetTemp", "TabSetTime", "TabSetSauna",
                                           "TabConfig"};
    ASSERT_EQ(Window->TabControl->count(), static_cast<int>(pages.size()));
    EXPECT_EQ(Window->TabControl->currentIndex(), 4);
    for (int index = 0; index < static_cast<int>(pages.size()); ++index) {
        SCOPED_TRACE(pages[static_cast<std::size_t>(index)]);
        Window->TabControl->setCurrentIndex(index);
        const QWidget* page = Window->TabControl->widget(index);
        EXPECT_EQ(page->objectName(), QLatin1String(pages[static_cast<std::size_t>(index)]));
        EXPECT_EQ(page->geometry(), QRect(0, 0, 420, 598));
        EXPECT_TRUE(page->isVisible());
    }
    Window->TabControl->setCurrentIndex(4);
}

struct TTagRow {
    const char* Name;
    int Tag;
};

TEST_F(ScreenStructure, ControlsCarryTheirTags) {
    const std::vector<TTagRow> tags{
        {"BtAromaSS", CMD_AROMA},
        {"BtVentSS", CMD_VENT},
        {"BtLight2SS", CMD_LIGHT2},
        {"BtLight1SS", CMD_LIGHT1},
        {"BtHeaterSS", CMD_HEATER},
        {"BtSetTempUp", 1},
        {"BtSetTempDn", 2},
        {"ScBarSetTemp", 3},
        {"BtSetTempWrite", 4},
        {"BtSetTimeUp", 11},
        {"BtSetTimeDn", 12},
        {"ScBarSetTime", 13},
        {"BtSetTimeWrite", 14},
        {"BtSelectSauna1", 1},
        {"BtSelectSauna2", 2},
        {"BtSelectSauna3", 3},
        {"Button1", 4},
        {"CheckBoxIPConst", 1},
        {"CheckBoxConnectAuto", 3},
        {"CheckBoxIPAuto", 2},
        {"BtSelTabMain", 0},
        {"BtSelTabTemp", 1},
        {"BtSelTabTime", 2},
        {"BtSelTabParam", 3},
        {"BtSelTabSettings", 4},
    };
    for (const TTagRow& row : tags) {
        SCOPED_TRACE(row.Name);
        const QVariant tag = Control(row.Name)->property("Tag");
        ASSERT_TRUE(tag.isValid());
        EXPECT_EQ(tag.toInt(), row.Tag);
    }
}

// A text control: its text, colour, font family (the requested one), pixel size, weight and
// horizontal alignment (0 where the control has none of its own).
struct TTextRow {
    const char* Name;
    const char* Text;
    QRgb Colour;
    const char* Family;
    int PixelSize;
    int Weight;
    Qt::Alignment Align;
};

constexpr int Bold = QFont::Bold;
constexpr int Heavy = QFont::Black;
constexpr Qt::Alignment Centre = Qt::AlignHCenter;
constexpr Qt::Alignment Left = Qt::AlignLeft;

TEST_F(ScreenStructure, LabelsShowTheirTextsInTheirFontsAndColours) {
    const std::vector<TTextRow> labels{
        {"LabTx", "Tx", DimGray, "Arial", 12, Bold, Centre},
        {"LabRx", "Rx", DimGray, "Arial", 12, Bold, Centre},
        {"LabG700Stat", "G700", DimGray, "Arial", 12, Bold, Centre},
        {"StatusLabel", "...", Brown, "Arial", 14, Bold, Centre},
        {"LabSaunaAddr", "Sauna 1", DarkOrange, "Arial", 20, Heavy, Left},
        {"LabelTempSet", "110C", Firebrick, "Arial", 50, Heavy, Centre},
        {"LabWorkTimer", "00:00", Blue, "Arial", 45, Heavy, Centre},
        {"LabSetWorkTime", "00:00", MediumBlue, "Arial", 45, Heavy, Centre},
        {"LabelTab1", "Sterowanie sauną", Firebrick, "Arial", 22, Bold, Centre},
        {"Label1", "Ustawianie temperatury", Firebrick, "Arial", 22, Bold, Centre},
        {"Label8", "Ustawianie czasu pracy", DodgerBlue, "Arial", 22, Bold, Centre},
        {"Label2", "Ustawienia sauny", DarkGray, "Arial", 22, Bold, Centre},
        {"Label3", "Ustawienia programu", DodgerBlue, "Arial", 22, Bold, Centre},
        {"LabInfo1", "Typ sterownika:", DodgerBlue, "Arial", 16, Bold, Centre},
        {"LabConType", "M-C", DodgerBlue, "Arial", 26, Bold, Centre},
        {"Label9", "Wersja programu:", DodgerBlue, "Arial", 16, Bold, Centre},
        {"LabConVersion", "2.55", DodgerBlue, "Arial", 26, Bold, Centre},
        {"Label7", "Wybór typu grzania.", Firebrick, "Arial", 16, Bold, Centre},
        {"LabAroma", "Aromat", Firebrick, "Arial", 16, Bold, Centre},
        {"LabVent", "Wentylacja", Firebrick, "Arial", 16, Bold, Centre},
        {"LabLight2", "Światło 2", Firebrick, "Arial", 16, Bold, Centre},
        {"LabLight1", "Światło 1", Firebrick, "Arial", 16, Bold, Centre},
        {"LabHeater", "Grzanie", Firebrick, "Arial", 16, Bold, Centre},
        {"LabSetTemp", "50", Firebrick, "Verdana", 80, Heavy, Centre},
        {"LabSetTempMax", "110", Firebrick, "Verdana", 28, Bold, Centre},
        {"LabSetTempMin", "40", Firebrick, "Verdana", 28, Bold, Centre},
        {"LabSetTime", "02:00", DodgerBlue, "Verdana", 80, Heavy, Centre},
        {"LabSetTimeMax", "10:30", DodgerBlue, "Verdana", 24, Bold, Centre},
        {"LabSetTimeMin", "00:30", DodgerBlue, "Verdana", 24, Bold, Centre},
        {"Label5", "Adres IP", DodgerBlue, "Arial", 16, Bold, Left},
        {"Label6", "Numer portu", DodgerBlue, "Arial", 16, Bold, Left},
        {"LabSSSerwer", "SERWER START", Green, "Arial", 16, Bold, Centre},
        {"Label10", "Kovalta Ver.: 1.10", DodgerBlue, "Arial", 22, Bold, Left},
    };
    for (const TTextRow& row : labels) {
        SCOPED_TRACE(row.Name);
        const auto* label = Control<QLabel>(row.Name);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), QString::fromUtf8(row.Text));
        EXPECT_EQ(TextColor(label).rgba(), row.Colour);
        EXPECT_EQ(label->font().family(), QLatin1String(row.Family));
        EXPECT_EQ(label->font().pixelSize(), row.PixelSize);
        EXPECT_EQ(label->font().weight(), row.Weight);
        EXPECT_EQ(label->alignment() & Qt::AlignHorizontal_Mask, row.Align);
    }
    EXPECT_TRUE(Control<QLabel>("Label10")->alignment().testFlag(Qt::AlignTop));
}

TEST_F(ScreenStructure, StandardControlsShowTheirTextsInTheirFontsAndColours) {
    // The control's text as it shows it, the palette role it is drawn with, and the expectation.
    struct TRow {
        const QWidget* Control;
        QString Text;
        QPalette::ColorRole Role;
        const char* Expected;
        QRgb Colour;
        const char* Family;
        int PixelSize;
    };
    const std::vector<TRow> controls{
        {Window->BtSelectSauna1, Window->BtSelectSauna1->text(), QPalette::ButtonText, "Sauna 1",
         Chocolate, "Verdana", 18},
        {Window->BtSelectSauna2, Window->BtSelectSauna2->text(), QPalette::ButtonText, "Sauna 2",
         Chocolate, "Verdana", 18},
        {Window->BtSelectSauna3, Window->BtSelectSauna3->text(), QPalette::ButtonText, "Sauna 3",
         Chocolate, "Verdana", 18},
        {Window->Button1, Window->Button1->text(), QPalette::ButtonText, "Sauna 4", Chocolate,
         "Verdana", 18},
        {Window->EditTCP_IPNum, Window->EditTCP_IPNum->text(), QPalette::Text, "192.168.0.222",
         DodgerBlue, "Verdana", 22},
        {Window->EditTCP_PortNum, Window->EditTCP_PortNum->text(), QPalette::Text, "502",
         DodgerBlue, "Verdana", 22},
        {Window->CheckBoxIPConst, Window->CheckBoxIPConst->text(), QPalette::WindowText,
         "IP  Stałe", DimGray, "Arial", 16},
        {Window->CheckBoxConnectAuto, Window->CheckBoxConnectAuto->text(), QPalette::WindowText,
         "Połącz automatycznie", DimGray, "Arial", 16},
        {Window->CheckBoxIPAuto, Window->CheckBoxIPAuto->text(), QPalette::WindowText,
         "IP Wyszukaj automatycznie", DimGray, "Arial", 16},
    };
    for (const TRow& row : controls) {
        SCOPED_TRACE(row.Control->objectName().toStdString());
        EXPECT_EQ(row.Text, QString::fromUtf8(row.Expected));
        EXPECT_EQ(row.Control->palette().color(row.Role).rgba(), row.Colour);
        EXPECT_EQ(row.Control->font().family(), QLatin1String(row.Family));
        EXPECT_EQ(row.Control->font().pixelSize(), row.PixelSize);
        EXPECT_EQ(row.Control->font().weight(), Bold);
    }
    for (const QLineEdit* edit : {Window->EditTCP_IPNum, Window->EditTCP_PortNum}) {
        EXPECT_EQ(edit->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    }
    for (const QCheckBox* box :
         {Window->CheckBoxIPConst, Window->CheckBoxConnectAuto, Window->CheckBoxIPAuto}) {
        EXPECT_FALSE(box->isChecked()) << box->objectName().toStdString();
    }
}

// Where a label's layout text stands in the label: the ink of a one-line text, the lines of a
// wrapped one.
QRect LaidOutText(const QLabel& label) {
    const QRect box = label.contentsRect();
    if (label.wordWrap()) {
        return label.fontMetrics().boundingRect(box, label.alignment() | Qt::TextWordWrap,
                                                label.text());
    }
    const QSize ink = label.fontMetrics().tightBoundingRect(label.text()).size();
    return QStyle::alignedRect(label.layoutDirection(), label.alignment(), ink, box);
}

// Every label's layout text lies inside the label and inside the control holding it.
TEST_F(ScreenStructure, EveryLabelTextFitsItsBox) {
    for (const QLabel* label : Window->findChildren<QLabel*>()) {
        SCOPED_TRACE(label->objectName().toStdString());
        const QRect text = LaidOutText(*label);
        EXPECT_TRUE(label->contentsRect().contains(text))
            << "text " << text.width() << " x " << text.height();
        EXPECT_TRUE(label->parentWidget()->rect().contains(text.translated(label->pos())));
    }
}

// The captions of the 160 x 90 buttons stand on the face (the button less its shadow's reach),
// clear of the picture box at (96, 14) and of the lamp at (8, 8).
TEST_F(ScreenStructure, ButtonCaptionsSitOnTheFaceClearOfPictureAndLamp) {
    const QRect face(0, 0, 156, 86);
    const QRect picture(96, 14, 60, 60);
    const QRect lamp(8, 8, 30, 15);
    const std::vector<std::pair<const char*, const char*>> captions{
        {"BtSaunaMode", "Label7"},       {"BtAromaSS", "LabAroma"},   {"BtVentSS", "LabVent"},
        {"BtLight2SS", "LabLight2"},     {"BtLight1SS", "LabLight1"}, {"BtHeaterSS", "LabHeater"},
        {"BtWiFiConnect", "LabSSSerwer"}};
    for (const auto& [buttonName, captionName] : captions) {
        SCOPED_TRACE(captionName);
        const auto* button = Control<TStyledButton>(buttonName);
        const auto* caption = Control<QLabel>(captionName);
        ASSERT_EQ(caption->parentWidget(), button);
        const QRect text = LaidOutText(*caption).translated(caption->pos());
        EXPECT_TRUE(face.contains(text)) << ::testing::PrintToString(text);
        if (button->ImageIndex() >= 0) {
            EXPECT_FALSE(text.intersects(picture)) << ::testing::PrintToString(text);
        }
        EXPECT_FALSE(text.intersects(lamp)) << ::testing::PrintToString(text);
    }
}

// A caption is part of its button: a click on it is a click on the button.
TEST_F(ScreenStructure, AClickOnACaptionClicksItsButton) {
    Window->TabControl->setCurrentIndex(0);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Window.get()));
    for (QLabel* caption : {Window->Label7, Window->LabAroma, Window->LabVent, Window->LabLight2,
                            Window->LabLight1, Window->LabHeater}) {
        SCOPED_TRACE(caption->objectName().toStdString());
        auto* button = qobject_cast<QAbstractButton*>(caption->parentWidget());
        ASSERT_NE(button, nullptr);
        QSignalSpy clicks(button, &QAbstractButton::clicked);
        QTest::mouseClick(caption, Qt::LeftButton, {}, caption->rect().center());
        EXPECT_EQ(clicks.count(), 1);
    }
    Window->TabControl->setCurrentIndex(4);
}

// Buttons that show the same picture in the same state are told apart below their lamps: the
// two lights, and the heater and the heating mode (both show the heating mode's picture).
TEST_F(ScreenStructure, ButtonsOfOnePictureAreToldApartBelowTheirLamps) {
    const auto belowLamp = [](QWidget* button) {
        return button->grab().toImage().copy(QRect(0, 24, 160, 66));
    };
    ASSERT_EQ(Window->BtLight1SS->ImageIndex(), Window->BtLight2SS->ImageIndex());
    EXPECT_NE(belowLamp(Window->BtLight1SS), belowLamp(Window->BtLight2SS));
    ASSERT_EQ(Window->BtHeaterSS->ImageIndex(), Window->BtSaunaMode->ImageIndex());
    EXPECT_NE(belowLamp(Window->BtHeaterSS), belowLamp(Window->BtSaunaMode));
}

struct THintRow {
    const char* Name;
    const char* Hint;
};

TEST_F(ScreenStructure, ControlsCarryTheirHints) {
    const std::vector<THintRow> hints{
        {"BtSaunaMode", "Zmiana typu grzania sauny."},
        {"BtAromaSS", "Sterowanie aromatem"},
        {"BtVentSS", ""},
        {"BtLight2SS", "Sterowanie oświetleniem 2"},
        {"BtLight1SS", "Sterowanie oświetleniem 1"},
        {"BtHeaterSS", ""},
        {"BtSetTempUp", "Zwiększanie wartości o 1C"},
        {"BtSetTempDn", "Zmniejszanie wartości o 1C"},
        {"BtSetTempWrite", "Zapisz zmainy do sterownika."},
        {"BtSetTimeUp", ""},
        {"BtSetTimeDn", ""},
        {"BtSetTimeWrite", "Zapisz zmainy do sterownika."},
        {"BtSelectSauna1", "Wybór Sauny 1"},
        {"BtSelectSauna2", "Wybór Sauny 2"},
        {"BtSelectSauna3", "Wybór Sauny 3"},
        {"Button1", "Wybór Sauny 4"},
        {"BtSelTabMain", "Sterowanie sauną"},
        {"BtSelTabTemp", "Ustawianie temperatury"},
        {"BtSelTabTime", "Ustawianie czasu pracy"},
        {"BtSelTabParam", "Ustawianie parametrów sauny"},
        {"BtSelTabSettings", "Ustawianie parametrów programu"},
    };
    for (const THintRow& row : hints) {
        EXPECT_EQ(Control(row.Name)->toolTip(), QString::fromUtf8(row.Hint)) << row.Name;
    }
}

struct TPictureRow {
    const char* Name;
    const char* List;
    int Index;
};

TEST_F(ScreenStructure, ButtonsShowTheirLookListAndIndex) {
    struct TRow {
        TPictureRow Picture;
        TStyledButton::TLook Look;
    };
    const std::vector<TRow> buttons{
        {{"BtSaunaMode", "ImageListBR", 0}, TStyledButton::BLButton1Style},
        {{"BtAromaSS", "ImageListBR", 6}, TStyledButton::BLButton1Style},
        {{"BtVentSS", "ImageListBR", 5}, TStyledButton::BLButton1Style},
        {{"BtLight2SS", "ImageListBR", 4}, TStyledButton::BLButton1Style},
        {{"BtLight1SS", "ImageListBR", 4}, TStyledButton::BLButton1Style},
        {{"BtHeaterSS", "ImageListBR", 0}, TStyledButton::BLButton1Style},
        {{"BtWiFiConnect", "ImageListSS", -1}, TStyledButton::BLButton1Style},
        {{"BtSetTempUp", "ImageListBR", 13}, TStyledButton::BLButtonSSStyle},
        {{"BtSetTempDn", "ImageListBR", 14}, TStyledButton::BLButtonSSStyle},
        {{"BtSetTempWrite", "ImageListBR", 12}, TStyledButton::BLButtonSSStyle},
        {{"BtSetTimeUp", "ImageListSS", 13}, TStyledButton::BLButtonSSStyle},
        {{"BtSetTimeDn", "ImageListSS", 14}, TStyledButton::BLButtonSSStyle},
        {{"BtSetTimeWrite", "ImageListSS", 12}, TStyledButton::BLButtonSSStyle},
        {{"BtSelTabMain", "ImageListSS", 0}, TStyledButton::BLButtonSSStyle},
        {{"BtSelTabTemp", "ImageListSS", 7}, TStyledButton::BLButtonSSStyle},
        {{"BtSelTabTime", "ImageListSS", 8}, TStyledButton::BLButtonSSStyle},
        {{"BtSelTabParam", "ImageListSS", 10}, TStyledButton::BLButtonSSStyle},
        {{"BtSelTabSettings", "ImageListSS", 11}, TStyledButton::BLButtonSSStyle},
    };
    for (const TRow& row : buttons) {
        SCOPED_TRACE(row.Picture.Name);
        const auto* button = Control<TStyledButton>(row.Picture.Name);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->Look(), row.Look);
        ASSERT_NE(button->ImageList(), nullptr);
        EXPECT_EQ(button->ImageList()->objectName(), QLatin1String(row.Picture.List));
        EXPECT_EQ(button->ImageIndex(), row.Picture.Index);
        EXPECT_EQ(button->FaceList(),
                  row.Look == TStyledButton::BLButton1Style ? Window->ImageListBt : nullptr);
    }
}

TEST_F(ScreenStructure, GlyphsShowTheirListAndIndexOrPicture) {
    const std::vector<TPictureRow> glyphs{
        {"LEDDisp1", "ImageList7Seg", 1}, {"LEDDisp2", "ImageList7Seg", 1},
        {"LEDDisp3", "ImageList7Seg", 4}, {"Image1", "ImageListBR", 0},
        {"Image2", "ImageListBR", 7},     {"Image3", "ImageListSS", 8},
        {"Image4", "ImageListSS", 10},    {"Image5", "ImageListBR", 11},
    };
    for (const TPictureRow& row : glyphs) {
        SCOPED_TRACE(row.Name);
        const auto* glyph = Control<TGlyph>(row.Name);
        ASSERT_NE(glyph->ImageList(), nullptr);
        EXPECT_EQ(glyph->ImageList()->objectName(), QLatin1String(row.List));
        EXPECT_EQ(glyph->ImageIndex(), row.Index);
    }
    EXPECT_EQ(Window->ImgTimer->Picture(), QStringLiteral(":/images/dial/Timer.svg"));
    EXPECT_EQ(Window->Image7->Picture(), QStringLiteral(":/images/logo/Kovalta.svg"));
    for (const TGlyph* digit : {Window->LEDDisp1, Window->LEDDisp2, Window->LEDDisp3}) {
        EXPECT_EQ(digit->GlowColor().rgba(), Crimson);
        EXPECT_DOUBLE_EQ(digit->GlowSoftness(), 2.0);
        EXPECT_DOUBLE_EQ(digit->GlowOpacity(), 0.6);
    }
}

struct TListRow {
    const char* Name;
    std::vector<QSize> Sizes;
};

TEST_F(ScreenStructure, ImageListsHoldTheirEntriesInIndexOrder) {
    const QSize digit(58, 80);
    const QSize face(160, 90);
    const std::vector<TListRow> lists{
        {"ImageListSS",
         {{216, 300},
          {360, 300},
          {217, 300},
          {272, 300},
          {303, 300},
          {288, 300},
          {305, 300},
          {184, 300},
          {300, 300},
          {191, 300},
          {300, 300},
          {284, 300},
          {300, 300},
          {378, 300},
          {378, 300}}},
        {"ImageListBR",
         {{205, 300},
          {372, 300},
          {206, 300},
          {267, 300},
          {304, 300},
          {286, 300},
          {306, 300},
          {170, 299},
          {300, 300},
          {178, 300},
          {300, 300},
          {282, 300},
          {300, 300},
          {378, 300},
          {378, 300}}},
        {"ImageListBC",
         {{205, 300},
          {374, 300},
          {206, 300},
          {267, 300},
          {304, 300},
          {286, 300},
          {306, 300},
          {170, 299},
          {300, 300},
          {178, 300},
          {300, 300},
          {284, 300},
          {300, 300},
          {378, 300},
          {378, 300}}},
        {"ImageList7Seg", std::vector<QSize>(11, digit)},
        {"ImageListBt", {face, face, face}},
    };
    for (const TListRow& row : lists) {
        SCOPED_TRACE(row.Name);
        const auto* list = Window->findChild<TImageList*>(QLatin1String(row.Name));
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(list->Count(), static_cast<int>(row.Sizes.size()));
        for (int index = 0; index < list->Count(); ++index) {
            EXPECT_EQ(list->SourceSize(index), row.Sizes[static_cast<std::size_t>(index)])
                << "entry " << index;
        }
    }
    EXPECT_EQ(Window->ImageListSS->Name(1), QStringLiteral("B1-Heater IR"));
    EXPECT_EQ(Window->ImageListBR->Name(14), QStringLiteral("BR-KeyDn"));
    EXPECT_EQ(Window->ImageListBC->Name(7), QStringLiteral("B1-Temp"));
    EXPECT_EQ(Window->ImageList7Seg->Name(10), QStringLiteral("LED7-Empty"));
    EXPECT_EQ(Window->ImageListBt->Name(0), QStringLiteral("BtBlack1"));
    // The on look shares its last five pictures with the neutral one.
    for (int index = 10; index < 15; ++index) {
        EXPECT_EQ(Window->ImageListBC->Picture(index)->Source(),
                  Window->ImageListSS->Picture(index)->Source());
    }
}

TEST_F(ScreenStructure, RectanglesHaveTheirFillsAndOutlines) {
    struct TRow {
        const char* Name;
        TRectangle::TFillKind Fill;
        QRgb FillColour;
        QRgb Stroke;
        qreal Thickness;
    };
    const std::vector<TRow> rectangles{
        {"RectBarTop", TRectangle::FILL_SOLID, Black, Black, 0},
        {"RectMainDisplay", TRectangle::FILL_SOLID, 0xFF0F0F0F, Black, 0},
        {"Rectangle7LED", TRectangle::FILL_SOLID, 0x00000000, Black, 1},
        {"RectTimer", TRectangle::FILL_NONE, 0, Black, 1},
        {"Rectangle1", TRectangle::FILL_SOLID, Band, Black, 1},
        {"Rectangle2", TRectangle::FILL_NONE, 0, Band, 1},
        {"Rectangle7", TRectangle::FILL_NONE, 0, Band, 1},
        {"RectBtSS", TRectangle::FILL_NONE, 0, Black, 1},
        {"Rectangle3", TRectangle::FILL_NONE, 0, Band, 1},
        {"RectScrollSP", TRectangle::FILL_NONE, 0, Band, 1},
        {"Rectangle9", TRectangle::FILL_NONE, 0, Band, 1},
        {"Rectangle10", TRectangle::FILL_NONE, 0, Band, 1},
        {"RectPortPram", TRectangle::FILL_NONE, 0, Band, 1},
        {"RectParam", TRectangle::FILL_NONE, 0, Band, 1},
        {"Rectangle11", TRectangle::FILL_NONE, 0, Band, 1},
    };
    for (const TRow& row : rectangles) {
        SCOPED_TRACE(row.Name);
        const auto* rectangle = Control<TRectangle>(row.Name);
        EXPECT_EQ(rectangle->FillKind(), row.Fill);
        if (row.Fill == TRectangle::FILL_SOLID) {
            EXPECT_EQ(rectangle->FillColor().rgba(), row.FillColour);
        }
        EXPECT_EQ(rectangle->StrokeColor().rgba(), row.Stroke);
        EXPECT_DOUBLE_EQ(rectangle->StrokeThickness(), row.Thickness);
    }
    EXPECT_TRUE(Window->Rectangle7LED->HitTest());
}

TEST_F(ScreenStructure, LampsHaveTheThreeStopGradient) {
    const QGradientStops expected{{0.0, QColor::fromRgba(0xFFE61C1C)},
                                  {0.4627, QColor::fromRgba(0xFFF5A6A6)},
                                  {1.0, QColor::fromRgba(0xFFDC1111)}};
    for (const TRectangle* lamp : {Window->LampAroma, Window->LampVent, Window->LampLight2,
                                   Window->LampLight1, Window->LampHeater}) {
        SCOPED_TRACE(lamp->objectName().toStdString());
        EXPECT_EQ(lamp->FillKind(), TRectangle::FILL_GRADIENT);
        const QGradient* gradient = lamp->FillGradient().gradient();
        ASSERT_NE(gradient, nullptr);
        ASSERT_EQ(gradient->type(), QGradient::LinearGradient);
        const auto* linear = static_cast<const QLinearGradient*>(gradient);
        EXPECT_EQ(gradient->coordinateMode(), QGradient::ObjectBoundingMode);
        EXPECT_EQ(linear->start(), QPointF(0, 0));
        EXPECT_EQ(linear->finalStop(), QPointF(0, 1));
        EXPECT_EQ(gradient->stops(), expected);
        EXPECT_EQ(lamp->StrokeColor().rgba(), Black);
    }
}

TEST_F(ScreenStructure, EffectsHaveTheirDistanceDirectionSoftnessOpacityAndColour) {
    struct TRow {
        const char* Control;
        const char* Effect;
        TShadowLook Look;
    };
    const std::vector<TRow> effects{
        {"Rectangle2", "ShadowEffect1", {3, 45, 0.3, 0.6, QColor::fromRgba(Black)}},
        {"Rectangle7", "ShadowEffect2", {3, 45, 0.3, 0.6, QColor::fromRgba(Black)}},
        {"Label10", "ShadowEffect3", {3, 45, 0.5, 0.6, QColor::fromRgba(LightSkyBlue)}},
        {"BtWiFiConnect", "ShadowEffect4", {3, 45, 0.3, 0.6, QColor::fromRgba(Black)}},
    };
    for (const TRow& row : effects) {
        SCOPED_TRACE(row.Control);
        const auto* effect = qobject_cast<TControlEffect*>(Control(row.Control)->graphicsEffect());
        ASSERT_NE(effect, nullptr);
        EXPECT_EQ(effect->objectName(), QLatin1String(row.Effect));
        ASSERT_TRUE(effect->Shadow().has_value());
        const TShadowLook& look = *effect->Shadow();
        EXPECT_DOUBLE_EQ(look.Distance, row.Look.Distance);
        EXPECT_DOUBLE_EQ(look.Direction, row.Look.Direction);
        EXPECT_DOUBLE_EQ(look.Softness, row.Look.Softness);
        EXPECT_DOUBLE_EQ(look.Opacity, row.Look.Opacity);
        EXPECT_EQ(look.Color, row.Look.Color);
    }
}

TEST_F(ScreenStructure, DialAndScrollBarsStartAtTheirLayoutValues) {
    EXPECT_DOUBLE_EQ(Window->PieWorkTimer->EndAngle(), 90.0);
    EXPECT_EQ(Window->PieWorkTimer->Color().rgba(), Blue);
    EXPECT_DOUBLE_EQ(Window->PieWorkTimer->Opacity(), 0.7);
    struct TRow {
        const TScrollBar* Bar;
        double Minimum;
        double Maximum;
        double Value;
    };
    for (const TRow& row :
         {TRow{Window->ScBarSetTemp, 40, 110, 50}, TRow{Window->ScBarSetTime, 3, 24, 12}}) {
        SCOPED_TRACE(row.Bar->objectName().toStdString());
        EXPECT_EQ(row.Bar->Min(), row.Minimum);
        EXPECT_EQ(row.Bar->Max(), row.Maximum);
        EXPECT_EQ(row.Bar->Value(), row.Value);
        // Vertical with the minimum at the bottom: the handle stands a share of the way up
        // from the bottom of the bar.
        const QRectF handle = row.Bar->HandleRect();
        const double share = (row.Value - row.Minimum) / (row.Maximum - row.Minimum);
        EXPECT_GT(handle.center().y(), row.Bar->height() * (1 - share) - handle.height());
        EXPECT_LT(handle.center().y(), row.Bar->height() * (1 - share) + handle.height());
    }
}

TEST_F(ScreenStructure, BottomBarMarginsReLayTheButtons) {
    const std::array<TStyledButton*, 5> buttons{Window->BtSelTabMain, Window->BtSelTabTemp,
                                                Window->BtSelTabTime, Window->BtSelTabParam,
                                                Window->BtSelTabSettings};
    const std::array<int, 5> layoutMargins{50, 20, 20, 20, 20};
    for (std::size_t index = 0; index < buttons.size(); ++index) {
        EXPECT_EQ(Window->ToolBarBottom->LeftMargin(buttons[index]), layoutMargins[index]);
    }
    for (TStyledButton* button : buttons) {
        Window->ToolBarBottom->SetLeftMargin(button, 30);
    }
    const std::array<int, 5> spacedX{30, 108, 186, 264, 342};
    for (std::size_t index = 0; index < buttons.size(); ++index) {
        EXPECT_EQ(buttons[index]->geometry(), QRect(spacedX[index], 0, 48, 48));
    }
    for (std::size_t index = 0; index < buttons.size(); ++index) {
        Window->ToolBarBottom->SetLeftMargin(buttons[index], layoutMargins[index]);
    }
    EXPECT_EQ(Window->BtSelTabSettings->x(), 322);
}

} // namespace
