#pragma once
// The stale look of the status view: a reading whose poll block has gone unanswered too long is
// shown greyed (text and digits in dim grey, lamps and pictures at half opacity) until its block
// is answered again, so that frozen values never pass for live ones.

#include <QColor>

#include <vector>

class QLabel;
class QWidget;
class TDravonPort;
class TGlyph;
class TKovMainForm;
class TStyledButton;

class TStaleLook {
public:
    // Takes the labels' layout colours, to give them back when their readings are fresh again.
    explicit TStaleLook(TKovMainForm& Form);

    // Shows each reading stale or fresh by the port's record of its poll block.
    void Show(const TDravonPort& Port);

private:
    struct TLabelReading {
        QLabel* Label;
        int Reg;
        QColor LayoutColour;
    };

    void ShowDigits(bool Stale);
    static void ShowOpacity(QWidget* Widget, bool Stale);

    std::vector<TLabelReading> FLabels;
    std::vector<TGlyph*> FDigits;
    TKovMainForm& FForm;
};
