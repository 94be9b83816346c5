// The page's "Player 2" choice: a person, or the computer at one of three
// levels. The choice goes to the program as a page event; the program says
// which role the computer holds, and its buttons are hidden meanwhile.
mergeInto(LibraryManager.library, {
  $Player2: {
    // Numbered as Player2Choice and Player2Role in app/web/main.cpp.
    control: 1,
    choice: {person: 0, easy: 1, normal: 2, hard: 3},
    role: {person: 0, pitches: 1, bats: 2},
  },

  player2_init__deps: ['$Page', '$Player2'],
  player2_init: function() {
    var select = document.querySelector('#player2 select');
    if (!select) return;
    // A reload starts with a person as player 2: nothing is stored.
    select.value = 'person';
    var previous = select.value;
    select.addEventListener('change', function() {
      // A friend on another device is a page of its own (app/web/boot.js).
      if (select.value === 'friend') return window.inviteFriend(select, previous);
      previous = select.value;
      Page.push([Page.event.choice, Player2.control, Player2.choice[select.value]]);
    });
  },

  player2_role__deps: ['$Player2'],
  player2_role: function(role) {
    var pitcher = document.getElementById('pitcher'), batter = document.getElementById('batter');
    if (pitcher) pitcher.classList.toggle('computer', role === Player2.role.pitches);
    if (batter) batter.classList.toggle('computer', role === Player2.role.bats);
  },
});
