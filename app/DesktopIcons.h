#pragma once
// Hands the desktop's file-type icons and button colour to the core, which
// draws them into placeholder pictures without knowing the toolkit.

void InstallDesktopIconProviders();
