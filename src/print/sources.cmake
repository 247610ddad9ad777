# SPDX-License-Identifier: GPL-3.0-or-later
# The printed phone list: laid out and painted with Qt Gui (QPainter, text
# layout, the PDF writer), never with widgets, so that q7ctl writes the same
# PDF as the window's preview shows. The one core folder that uses Qt Gui.
list(APPEND q7core_sources
  print/PhoneList.cpp
  print/PhoneListPages.cpp
  print/PhoneListPdf.cpp
)
