#pragma once

class QGroupBox;
class QLabel;
class QVBoxLayout;
class QWidget;

// The metrics every tab of the Settings page shares.
namespace SettingsLayout {
// A tab's content: leading-aligned, 20 between items, padded 20.
QVBoxLayout* tabStack(QWidget* tab);
// A group's content: `spacing` between rows, 4 above and below.
QVBoxLayout* groupStack(QGroupBox* box, int spacing = 12);
// The label column of a row: 140 wide.
QLabel* rowLabel(QWidget* parent);
// A hint in the caption font and the secondary colour, wrapped.
QLabel* caption(QWidget* parent);
}  // namespace SettingsLayout
