// Korvane as a web page: builds the window from the layout table, runs Form_Load, and marks
// the page ready. The window lives as long as the page; main returns and the page stays.

#include "dom.h"
#include "web_window.h"

int main() {
    static korvane::web::WebWindow window;
    korvane::web::dom::Ready();
    return 0;
}
