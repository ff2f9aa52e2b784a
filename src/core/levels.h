// The twelve levels: three block patterns taking turns, growing every three levels.
#pragma once
#include <cstdint>

void buildLevel(int32_t level);
void buildRows(int32_t size);
void buildChecker(int32_t size);
void buildBottomRow(int32_t size);
