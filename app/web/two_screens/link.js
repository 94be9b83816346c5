// Between the two-screen program and the page's peer connection
// (friend.js): what arrives waits in an inbox until the program takes it,
// and wakes the program as a page event does; what the program sends and
// reports goes to the page's Friend object.
mergeInto(LibraryManager.library, {
  $Link__deps: ['$Page'],
  $Link: {
    // Numbered as LinkNext in main.cpp.
    next: {nothing: -1, opened: -2, closed: -3},
    inbox: [],  // Uint8Arrays, or Link.next.opened / .closed
  },
  // The page hands the program what the connection brings.
  $Link__postset: 'Module["linkReceive"] = function(data) { Link.inbox.push(data); Page.resume(); };',

  link_next__deps: ['$Link'],
  link_next: function() {
    if (!Link.inbox.length) return Link.next.nothing;
    var first = Link.inbox[0];
    if (typeof first === 'number') {
      Link.inbox.shift();
      return first;
    }
    return first.length;
  },

  link_waiting__deps: ['$Link'],
  link_waiting: function() {
    return Link.inbox.length > 0;
  },

  link_read__deps: ['$Link'],
  link_read: function(buffer) {
    HEAPU8.set(Link.inbox.shift(), buffer);
  },

  link_send: function(data, length) {
    if (window.Friend) window.Friend.send(HEAPU8.slice(data, data + length));
  },

  link_status: function(status, a, b) {
    if (window.Friend) window.Friend.status(status, a, b);
  },
});
