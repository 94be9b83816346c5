// A scripted page for the web platform's loop under Node: the page's
// imports over a virtual clock and a queue of events that arrive at given
// virtual times. A wait moves the clock to its end or to the next arrival,
// whichever comes first; a wait for ever with nothing left to arrive ends
// the run, as a page that schedules nothing would sit idle.
mergeInto(LibraryManager.library, {
  $Fake__deps: ['$PageQueue'],
  $Fake: {
    now: 0,
    arrivals: [],  // {at, event}, in time order
    waits: [],     // the length of every wait, in virtual ms (-1: for ever)
    idleWakes: 0,
    paintedDuring: [],  // for each paint, how many waits came before it
    deliver: function() {
      while (Fake.arrivals.length && Fake.arrivals[0].at <= Fake.now) PageQueue.events.push(Fake.arrivals.shift().event);
    },
  },

  fake_arrive__deps: ['$Fake'],
  fake_arrive: function(at, kind, a, b, c) {
    Fake.arrivals.push({at: at, event: [kind, a, b, c]});
    Fake.arrivals.sort(function(x, y) { return x.at - y.at; });
  },
  // The program is busy this long: the clock moves on and nothing arrives
  // meanwhile (what arrives is delivered at the next wait).
  fake_stall__deps: ['$Fake'],
  fake_stall: function(ms) { Fake.now += ms; },
  fake_waits__deps: ['$Fake'],
  fake_waits: function() { return Fake.waits.length; },
  fake_painted_during__deps: ['$Fake'],
  fake_painted_during: function(wait) { return Fake.paintedDuring.indexOf(wait) >= 0; },
  // The run's verdict, given by the program before it goes idle.
  fake_verdict: function(failed) { Module.failed = failed; },

  page_init: function() {},
  page_now__deps: ['$Fake'],
  page_now: function() { return Fake.now; },
  page_wait__deps: ['$Fake'],
  page_wait: function(ms) {
    Asyncify.handleSleep(function(wakeUp) {
      Fake.waits.push(ms);
      // After the verdict nothing is left to do: a program that still wakes
      // itself with no timer running is busy while idle.
      if (Module.failed !== undefined && ms >= 0 && !Fake.arrivals.length && ++Fake.idleWakes > 1000) {
        console.log('FAIL: idle, the program kept waking itself');
        process.exit(1);
      }
      var next = Fake.arrivals.length ? Fake.arrivals[0].at : Infinity;
      var end = ms < 0 ? next : Math.min(Fake.now + ms, next);
      if (end === Infinity) {
        // Idle for good: the run is over.
        process.exitCode = Module.failed === 0 ? 0 : 1;
        return;
      }
      Fake.now = Math.max(Fake.now, end);
      Fake.deliver();
      setTimeout(wakeUp, 0);
    });
  },
  page_show_form: function() {},
  page_hide_form: function() {},
  page_open_box: function() {},
  page_begin_paint__deps: ['$Fake'],
  page_begin_paint: function() { Fake.paintedDuring.push(Fake.waits.length); },
  page_end_paint: function() {},
  page_fill_rect: function() {},
  page_pen: function() {},
  page_shape: function() {},
  page_line: function() {},
  page_text_width: function() { return 0; },
  page_text: function() {},
});
