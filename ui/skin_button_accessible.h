#pragma once
// What a screen reader sees of a SkinButton: a push button named by its hint,
// whose press action presses it (over AT-SPI on Linux).
namespace tarnovox {

// Installs the accessibility factory for picture buttons; later calls do nothing.
void InstallSkinButtonAccessibility();

}  // namespace tarnovox
