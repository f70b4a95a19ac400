#pragma once
// The arithmetic and text of the video placement commands, kept apart so
// that the exact command strings are tested on their own.

#include <QString>

// A number with a sign position: " 8" for 8 and 0, "-42" for -42.
QString signedNumber(int n);

// n / 2 taken to the nearest whole number, a half going to the even
// neighbour: 17 -> 8, 37 -> 18, -83 -> -42.
int halfRoundedToEven(int n);

// The "put" command that fills a W x H box: "put movie destination at 0 0  W  H".
QString fillDestinationCommand(int boxWidth, int boxHeight);

// The "put" command for a Vw x Vh video in a W x H box: fill the box when the
// video is larger in both directions; shrink it whole, its proportions kept,
// when it is larger in one direction only (the old tools showed its middle,
// cut, where the web quiz shows it whole); else centre it at its natural size.
QString aviDestinationCommand(int boxWidth, int boxHeight, int videoWidth, int videoHeight);
