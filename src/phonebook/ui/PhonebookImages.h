// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QList>
#include <QSize>

namespace q7 {

// ImageList_Telefonbuch: the main images of the tree nodes, 16 x 16.
inline constexpr int kPhonebookImageCount = 24;
inline constexpr QSize kPhonebookImageSize{16, 16};
// ImageList_Nummern: the second images, 8 x 16; 0 is blank, 1..9 the digits.
inline constexpr int kNumberImageCount = 10;
inline constexpr QSize kNumberImageSize{8, 16};

// Indexes into ImageList_Telefonbuch that are not number types.
enum NodeImage : int
{
    ZusatzImage = 0,
    PhonebookRootImage = 1,
    SimEntryImage = 2,
    MemoryEntryImage = 3,
    GruppeImage = 4,
    SpeicherplatzImage = 12,
    FirstNinePosition1Image = 13, // up to 21 for position 9
    FirstNineRootImage = 22,
};

// Both lists need a running QGuiApplication; they are loaded on first use.
const QList<QIcon>& phonebookImages();
const QList<QIcon>& numberImages();

// A main image with a second image drawn to its right (24 x 16). Indexes out
// of range draw nothing in their place rather than fail.
QIcon combinedImage(int mainImage, int secondImage);

} // namespace q7
