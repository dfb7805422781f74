#pragma once
// The commands on their way to the controller, and the pending look of their buttons: from the
// click until the command's write is answered and the poll set has read back the output's coil
// (or the heating mode's register) after it. A command whose write fails ends its look at once.

#include <cstdint>
#include <vector>

class TStyledButton;

// What the poll set reads back after a command: a coil or a holding register.
struct TReadBack {
    bool Coil;
    std::int32_t Num;
};

class TPendingCommands {
public:
    // The write of Button's command waits in slot Slot.
    void Sent(TStyledButton* Button, std::int32_t Slot, TReadBack Shows);
    // The write in slot Slot has been answered.
    void Written(std::int32_t Slot);
    // The poll set has read Count coils or registers from First.
    void BlockRead(bool Coils, std::int32_t First, std::int32_t Count);
    // Whether the transaction that failed in slot Slot was a command's write; its look ends.
    bool Failed(std::int32_t Slot);

private:
    struct TCommand {
        TStyledButton* Button;
        std::int32_t Slot; // 0 once the write is answered
        TReadBack Shows;
    };

    void ShowLook(TStyledButton* Button) const;

    std::vector<TCommand> FCommands;
};
