// Placeholders until the front-end screens land.
#include "screens/front_end.h"

void TitleFrame() {}
void MainMenuFrame() {}
void InfoFrame() {}
void GameOverFrame() {}
void OptionsFrame() {}
