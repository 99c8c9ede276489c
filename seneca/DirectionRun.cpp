#include "seneca/DirectionRun.h"

#include "seneca/Messages.h"

#include <QFileInfo>

bool ChooseExistingFile(RunState &state, UserInterface &ui) {
    if (auto chosen = ui.chooseFile(state.paths.dialogDir))
        state.rememberedFile = *chosen;
    if (!state.rememberedFile.isEmpty() && QFileInfo(state.rememberedFile).isFile())
        return true;
    ui.showMessage(Msg::NoFile);
    if (state.hostMode) {
        state.outcome = -1;
        ui.closeMainWindow();
    }
    return false;
}

void FinishRun(RunState &state, UserInterface &ui) {
    state.outcome = 1;
    ui.showMessage(Msg::Finished);
    ui.disableDirectionButtons();
    if (state.hostMode)
        ui.closeMainWindow();
}
