#pragma once

#include "mainwindow/SidebarSection.h"

class Page;
class QWidget;
struct MainWindowContext;

// Builds the page of a section, fresh, with its initial state. The one
// place that names each section's page class.
Page* createSectionPage(SidebarSection section, const MainWindowContext& context,
                        QWidget* parent);
