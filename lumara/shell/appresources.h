#pragma once
// The program's Qt resources (QML views, pictures, fonts, help texts) sit in a static library,
// and the linker drops them unless something references their initialiser: every program,
// test, tour and benchmark calls this before the first ":/" path. Calling it again is harmless.
void initAppResources();
