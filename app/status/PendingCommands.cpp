#include "PendingCommands.h"

#include "TStyledButton.h"

#include <algorithm>

void TPendingCommands::Sent(TStyledButton* Button, std::int32_t Slot, TReadBack Shows) {
    FCommands.push_back({Button, Slot, Shows});
    ShowLook(Button);
}

void TPendingCommands::Written(std::int32_t Slot) {
    for (TCommand& command : FCommands) {
        if (command.Slot == Slot) {
            command.Slot = 0;
        }
    }
}

// Only a read that began after the write was answered can show what the command did; a
// transaction at a time, so any read answered from now on did.
void TPendingCommands::BlockRead(bool Coils, std::int32_t First, std::int32_t Count) {
    std::vector<TStyledButton*> ended;
    std::erase_if(FCommands, [&](const TCommand& command) {
        const bool shown = command.Slot == 0 && command.Shows.Coil == Coils &&
                           command.Shows.Num >= First && command.Shows.Num < First + Count;
        if (shown) {
            ended.push_back(command.Button);
        }
        return shown;
    });
    for (TStyledButton* button : ended) {
        ShowLook(button);
    }
}

bool TPendingCommands::Failed(std::int32_t Slot) {
    const auto failed = std::find_if(FCommands.begin(), FCommands.end(),
                                     [Slot](const TCommand& c) { return c.Slot == Slot; });
    if (Slot == 0 || failed == FCommands.end()) {
        return false;
    }
    TStyledButton* button = failed->Button;
    FCommands.erase(failed);
    ShowLook(button);
    return true;
}

void TPendingCommands::ShowLook(TStyledButton* Button) const {
    Button->SetPending(std::any_of(FCommands.begin(), FCommands.end(),
                                   [Button](const TCommand& c) { return c.Button == Button; }));
}
