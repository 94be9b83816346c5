// The queue of what happened in the page, which the program takes events off
// (core/web/web_platform.cpp): the page's listeners fill it, and so does the
// scripted page the loop's tests run on.
mergeInto(LibraryManager.library, {
  $PageQueue: {events: []},

  page_take_event__deps: ['$PageQueue'],
  page_take_event: function(out) {
    var event = PageQueue.events.shift();
    if (!event) return 0;
    for (var i = 0; i < 4; ++i) HEAPF64[(out >> 3) + i] = event[i] || 0;
    return 1;
  },

  page_pending__deps: ['$PageQueue'],
  page_pending: function() {
    return PageQueue.events.length > 0;
  },
});
