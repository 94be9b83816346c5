// Starts the form runtime on Qt and shows the pitch screen.
#include "app/start.h"

int main(int argc, char** argv) { return run_game(argc, argv); }
