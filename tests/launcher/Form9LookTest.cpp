// Form9's strips, label and button where the panel's layout puts them.
#include "launcher/Form9.h"

#include "tests/common/Recorders.h"

#include "ui/PictureButton.h"
#include "ui/Twips.h"

#include <QComboBox>
#include <QLabel>

#include <gtest/gtest.h>

using namespace friendlinks;

namespace {

struct LauncherLook : ::testing::Test {
    RecordingBrowser browser;
    RecordingMessageBox messages;
    Form9 form{nullptr, &browser, &messages};
    int dpi = form.logicalDpiX();
    QWidget *child(const char *name) const { return form.findChild<QWidget *>(QString::fromLatin1(name)); }
};

TEST_F(LauncherLook, ControlsAtTheirPlaces)
{
    struct Place {
        const char *name;
        const char *parent;
        QRect rect;
    };
    const Place places[] = {
        {"Picture5(0)", nullptr, twipsRect(-2520, -80, 8175, 495, dpi)},
        {"Picture5(1)", nullptr, twipsRect(0, -70, 8415, 495, dpi)},
        // Inside the first strip: 120 twips from its left edge.
        {"Label13", "Picture5(0)", twipsRect(2640, 120, 1335, 255, dpi)},
        {"Command1", nullptr, twipsRect(5040, -20, 735, 350, dpi)},
        {"Picture2", nullptr, twipsRect(1200, 30, 255, 255, dpi)},
    };
    for (const Place &p : places) {
        const QWidget *w = child(p.name);
        ASSERT_NE(w, nullptr) << p.name;
        EXPECT_EQ(w->geometry(), p.rect) << p.name;
        if (p.parent) {
            EXPECT_EQ(w->parentWidget(), child(p.parent)) << p.name;
        }
    }
}

TEST_F(LauncherLook, StripsShowThePictureAtItsSizeLabelStripOnTop)
{
    for (const char *name : {"Picture5(0)", "Picture5(1)"}) {
        const auto *strip = qobject_cast<QLabel *>(child(name));
        ASSERT_NE(strip, nullptr) << name;
        EXPECT_EQ(strip->pixmap().size(), QSize(730, 34) * dpi / 96) << name;
        EXPECT_FALSE(strip->hasScaledContents()) << name;
    }
    // Label13 lives in Picture5(0), so that strip must stand in front of the other.
    const QList<QWidget *> siblings = child("Picture5(0)")->parentWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    EXPECT_GT(siblings.indexOf(child("Picture5(0)")), siblings.indexOf(child("Picture5(1)")));
}

TEST_F(LauncherLook, SearchButtonWearsItsFace)
{
    const auto *button = qobject_cast<PictureButton *>(form.searchButton());
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->face().size(), QSize(182, 42));
}

TEST_F(LauncherLook, EngineListShowsNamesWithoutIcons)
{
    // The chosen engine's icon shows in Picture2 only, not a second time in the list.
    const QComboBox *combo = form.engineChoice();
    for (int k = 0; k < combo->count(); ++k)
        EXPECT_TRUE(combo->itemIcon(k).isNull()) << k;
}

} // namespace
