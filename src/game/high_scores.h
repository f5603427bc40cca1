#pragma once

void HighScoresFrame();
