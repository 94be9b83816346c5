// The desktop game's start-up: the platform choice, the application's
// identity, the Qt platform and the pitch screen. main() runs it; the
// start-up benchmark runs the same with a watcher on every event.
#pragma once

class QObject;

int run_game(int argc, char** argv, QObject* event_filter = nullptr);
