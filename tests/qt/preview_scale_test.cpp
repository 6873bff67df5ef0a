#include <gtest/gtest.h>

#include <cmath>

#include "fakes/fake_services.h"
#include "qt/qt_services.h"
#include "qt/form_window.h"

using namespace ladoslov;
using namespace ladoslov::testing;

// In a host's preview of 320 × 240 pixels the whole design is drawn at 48 twips per pixel: the fonts
// shrink with it, so that every label keeps its size in twips and the layout its shape.
TEST(PreviewScale, TheWholeDesignFitsAndLabelsKeepTheirSizeInTwips) {
    constexpr double kPreview = 48.0;
    Harness h;
    h.screen.w = 320 * kPreview;
    h.screen.h = 240 * kPreview;
    FontMeasurer design(15.0), preview(kPreview);
    Label& dayCell = h.form.labelArray(10)[0];
    for (const Label* l : {&h.form.Label1, &h.form.Label112, &dayCell}) {
        for (const char* text : {"Ладослов", "23", "Морской интернет-клуб"}) {
            const TwipsSize a = design.measure(text, l->font(), 0), b = preview.measure(text, l->font(), 0);
            // Whole pixels of the smaller fonts round up by up to one pixel of 48 twips.
            EXPECT_NEAR(b.width, a.width, 0.1 * a.width + kPreview) << text << " at " << l->font().size;
            EXPECT_NEAR(b.height, a.height, 0.1 * a.height + kPreview) << text << " at " << l->font().size;
        }
    }
    h.form.inventory().setMeasurer(&preview);
    DrawnScreen previewScreen(preview);
    previewScreen.reshape(320, 240, 96);
    FormWindow view(h.form, previewScreen);
    h.load();
    h.fillAll();
    view.sync();
    EXPECT_EQ(view.size(), QSize(320, 240));
    // The title is centred on the preview, and the December block ends inside it.
    const QRect title = view.rectOf(h.form.Label112);
    EXPECT_NEAR(title.center().x(), 160, 2);
    const QRect lastCell = view.rectOf(h.cells(12)[34]);
    EXPECT_GT(lastCell.left(), 240);
    EXPECT_LT(lastCell.right(), 320);
    EXPECT_LT(lastCell.bottom(), 240);
}
