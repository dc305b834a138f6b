#pragma once
// Everything both ends of the CC121 wire share: controls, messages, value scales and number reading.

#include "cc121_controls.h"
#include "cc121_messages.h"
#include "cc121_scales.h"
#include "leading_int.h"
