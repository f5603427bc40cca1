#pragma once

void PlayFrame();
