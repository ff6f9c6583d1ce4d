#pragma once
// The controls of both screens of the main form, at their design positions (twips, relative to the
// container), with their captions.
#include <span>

#include "form.h"

std::span<const Control_Def> CellDrop_Control_Table();
