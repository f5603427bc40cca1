#pragma once

void TitleFrame();
void MainMenuFrame();
void InfoFrame();
void GameOverFrame();
void OptionsFrame();

// The CONTROLS screen: the keys and button of each play action, the ghost piece and the pause on
// focus loss. Opened from the options screen, to which it returns.
void ControlsFrame();
void OpenControlsScreen();
// True when this frame's keys went to the screen's wait for a key: the hotkeys then stay quiet
// until their keys have been let go, so that trying to bind one does nothing else.
bool ControlsScreenTookKeys();
