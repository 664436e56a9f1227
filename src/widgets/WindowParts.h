#pragma once
// Pieces the two calculation windows share: label colours and the chosen
// material's display with the equation items it supports.
#include "domain/Data.h"

class QButtonGroup;
class QLabel;
class QWidget;

namespace prolis {

// The ordinary background of the value labels and the red of a value out of range.
void setButtonFaceBackground(QWidget* w);
void setRedBackground(QWidget* w);
// Shows the material's name and temperature ("20°C"), enables the four
// equation items and disables those the material does not support; the
// selected item stays selected.
void showChosenMaterial(const Data& data, QLabel* name, QLabel* temperature, QButtonGroup* equations);

} // namespace prolis
