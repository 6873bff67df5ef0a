// The music picture, the picture that can be towed across the window, and the drop on the window.

#include "screen/form.h"

namespace ladoslov {

// Kept: a double-click's first click has played the tune already; hidden, the tune can't be started again.
void Form1::Image1_DblClick() { Image1.setVisible(false); }

void Form1::Image2_Click() { Image2.setVisible(false); }

void Form1::Image2_MouseDown(int button, int, Twips x, Twips y) {
    if (button != 1) return;
    Image2.beginDrag();
    GrabX = x;
    GrabY = y;
    inventory_.sendToBack(Image2);  // kept: at the press, so a drop on a control leaves it in place but behind
}

void Form1::Form_DragDrop(Control& source, Twips x, Twips y) {
    // No bounds: a picture dropped near an edge may stand partly outside the window.
    source.move(x - GrabX, y - GrabY);
    if (&source == &Image2) image2Dropped_ = true;
}

}  // namespace ladoslov
