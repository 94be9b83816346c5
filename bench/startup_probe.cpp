// The game's own start-up, as main() runs it, ended at the pitch screen's
// first painted frame.
#include "app/start.h"
#include "first_paint.h"

int main(int argc, char** argv) {
  FirstPaint first_paint;
  return run_game(argc, argv, &first_paint);
}
