// One ball step per tick with its wall and floor tests; the bat after the pointer.
#pragma once
#include <cstdint>

constexpr int32_t FloorReached = 2;

void setSpeedFactor(double factor);
int32_t stepBall(int32_t left, int32_t top, int32_t right, int32_t bottom);
void trackBat(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t x, int32_t y);
void pointerMoved(int32_t x, int32_t y);
void placeBallOnBat();
