#pragma once
// How a setpoint page tells the operator where its value stands: greyed with "Wczytywanie
// nastawy..." until the controller has loaded the setpoint, a warning when it never did, the
// value in orange while an edit is not yet stored, and "Zapisywanie..." while a store is on its
// way. A caption under the down button says it in words.

#include <QColor>

#include <cstdint>

class QLabel;
class TFitLabel;

enum TSetpointState : std::uint8_t {
    SETPOINT_LOADING, // the controller has not loaded the setpoint yet
    SETPOINT_FAILED,  // it did not load it within the reads of one opening
    SETPOINT_LOADED,  // the page shows what the controller holds
    SETPOINT_EDITED,  // the operator changed the value and has not stored it
    SETPOINT_STORING, // a store is on its way to the controller
};

class TSetpointPageLook {
public:
    // The caption goes on the value's own panel, below the value.
    TSetpointPageLook(QLabel* Value, QLabel* Max, QLabel* Min);

    void Show(TSetpointState State);
    const QLabel* Caption() const { return FCaption; }

private:
    QLabel* FValue;
    QLabel* FMax;
    QLabel* FMin;
    QLabel* FCaption;
    // The layout's colours, given back once the value is real again.
    QColor FValueColour;
    QColor FLimitColour;
};
