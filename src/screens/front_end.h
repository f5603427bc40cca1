#pragma once

void TitleFrame();
void MainMenuFrame();
void InfoFrame();
void GameOverFrame();
void OptionsFrame();
