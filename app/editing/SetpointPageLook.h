#pragma once
// How a setpoint page tells the operator where its value stands: greyed with "Wczytywanie
// nastawy..." until the controller has loaded the setpoint, a warning when it never did, the
// value in orange while an edit is not yet stored, and "Zapisywanie..." while a store is on its
// way. A caption under the down button says it in words. Until the setpoint is loaded the up,
// down and store buttons and the scroll bar are disabled, and look it.

#include <QColor>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <vector>

class QLabel;

enum TSetpointState : std::uint8_t {
    SETPOINT_LOADING, // the controller has not loaded the setpoint yet
    SETPOINT_FAILED,  // it did not load it within the reads of one opening
    SETPOINT_LOADED,  // the page shows what the controller holds
    SETPOINT_EDITED,  // the operator changed the value and has not stored it
    SETPOINT_STORING, // a store is on its way to the controller
};

class TSetpointPageLook {
public:
    // The caption goes on the value's own panel, below the value. Controls are the page's
    // buttons and bar that change or store the value. A page not yet opened is loading.
    TSetpointPageLook(QLabel* Value, QLabel* Max, QLabel* Min, std::vector<QWidget*> Controls);

    void Show(TSetpointState State);
    const QLabel* Caption() const { return FCaption; }

    // The keyboard's focus waits on Waiting while the page loads, and moves on to the page's
    // first control once the setpoint is there, unless it has gone elsewhere meanwhile.
    void FocusWhenLoaded(QWidget* Waiting);

    // The value's name for a screen reader: What, then the value as the page shows it and its
    // state, or the state alone while there is no value.
    QString ValueName(const QString& What) const;

private:
    QLabel* FValue;
    QLabel* FMax;
    QLabel* FMin;
    QLabel* FCaption;
    std::vector<QWidget*> FControls;
    QPointer<QWidget> FFocusWaiting;
    TSetpointState FState = SETPOINT_LOADING;
    // The layout's colours, given back once the value is real again.
    QColor FValueColour;
    QColor FLimitColour;
};
