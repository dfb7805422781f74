#pragma once
// The look of the status view's readings that are not live, so that neither a frozen value nor
// another sauna's ever passes for a live one. A reading the selected sauna answered once but not
// lately (old) is greyed: text and digits in dim grey, the dial at half opacity, the lamp in
// greys. One it has not answered since the start, the link's start or the sauna change
// (unknown) is greyed too, and its lamp is blank, neither lit nor unlit; the texts then show
// dashes (the status view writes them). A device or heating-mode picture shows its on-look only
// while its output is live; otherwise it is greyed, a neutral look.

#include <QColor>

#include <vector>

class QLabel;
class QWidget;
class TDravonPort;
class TGlyph;
class TKovMainForm;

class TStaleLook {
public:
    // Takes the labels' layout colours, to give them back when their readings are live again.
    explicit TStaleLook(TKovMainForm& Form);

    // Shows each reading by the port's record of its poll block.
    void Show(const TDravonPort& Port);

private:
    struct TLabelReading {
        QLabel* Label;
        int Reg;
        QColor LayoutColour;
    };

    void ShowDigits(bool Live);
    void ShowOutputs(const TDravonPort& Port);
    static void ShowOpacity(QWidget* Widget, bool Live);

    std::vector<TLabelReading> FLabels;
    std::vector<TGlyph*> FDigits;
    TKovMainForm& FForm;
};
