#include <gtest/gtest.h>

#include "core/TextTableCheck.h"
#include "mainwindow/SnippetTexts.h"

TEST(SnippetTextsData, EveryKeyHasAWholeLanguageSetAndTheSamePlaceholdersAsEnglish) {
    texttablecheck::checkTable("SnippetTexts.json", SnippetTexts::table());
}
