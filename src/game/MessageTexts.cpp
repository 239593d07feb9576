#include "game/MessageIds.h"

char g_MessageTexts[MESSAGE_COUNT][MESSAGE_TEXT_SIZE] = {
    "Car damages exceeded the/permissible level for this race!/Fix your car at the/nearest garage...",
    "Your 'criminal level' is increasing/when you run over pedestrians/and clash against another car!/Police will "
    "hunt you when your/'criminal level' is exceeded!/You have to pay a fine/if you will be arrested!",
    "You 'criminal level'/is dangerously exceeded!/City police is hunting you!/You should change your car/at a "
    "'Auto Trader' or repaint it/at a 'Work Shop'...",
    "You are arrested!/",
    "You've got bonus/for the unique trick!",
    "The police car/was deactivated!/Bonus:/200$/  /Reputation points +1",
    "Gas : up arrow/Brake : down arrow/Turn to the left : left arrow/Turn to the right : right arrow/Hand brake : "
    "space/Return to the road : R/Switching of view : C/Back view: B/Driver information : I/Racers rating list : "
    "Tab/Menu : Esc/This help : F1",
    "Orient yourself by signs on the map:/  /- start of 'street race'/- start of 'time race'/- 'Work Shop'/- 'Auto "
    "Trader'/- police/- passenger landing",
    "Take the passenger to a landing place/as soon as possible!/Each second of the way/cut down the fine!",
    "The Passenger was taken to the place!/You've earned:",
    "CONGRATULATIONS!/  /YOU ARE THE BEST/IN THE RACERS CITY!/UNIQUE BONUS: 50.000$ !/You may continue this "
    "game/or start new game ...",
    "Good morning!/Where did you crush you car?/You need an emergency repairs!..",
    "That's why I'm here!/But at first, answer my questions...",
    "    I'm listening!..    /Go ahead!",
    "I'm for the firs time at this town/and don't know it perfectly.../Tell me, where I can get some money?",
    "Oh, it is easy if you are always on the move/and ready to take chances!/Illegal street races are usual for "
    "this town!/If you win, you will get good money./But to tell the truth, if you crush you car,/you will pay a "
    "lot to repair it, ha-ha!/Any garage can repair and tune you car./You can change your car at any motor show...",
    "Are there many street racers here?",
    "Enough. Few of them are really good at./We've made a private street racers rating list,/there are about "
    "thirty names now./They are best of the best!",
    "Can I get into this list?",
    "Why not!/Win places, earn points/and you are on the top!/That's it...",
    "I see... What about police?",
    "Don't break the rules, don't disturb anybody/and no one disturbs you./If you've done something,/they will stop "
    "at nothing/to make you pay a tidy sum, busters.../Better get out from the place of incident/and be out of "
    "their sight!",
    "Thanks for the information./What about my car?",
    "At last! Drive the trestle./Wanna look at your piece of iron!/I don't take a lot for repairing,/it's depending "
    "on crush degree...",
};
