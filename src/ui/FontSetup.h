#pragma once
// Maps the Japanese face names the program asks for onto fonts that Linux has, so every
// Japanese text renders with real glyphs. Windows has the faces: nothing is mapped there.

void InstallFontSubstitutions();
