morvaine-tape 1
step 20
seed 1000000
sound silent
ini [Game]
ini Version=1.0.1
ini 
ini [Video]
ini Mode=1
ini Distance=2
ini Details=1
ini Traffic=1
ini Shadows=3
ini Glow=1
ini Blur=1
ini Water=2
ini Reflect=1
ini Windowed=1
ini 
ini [Audio]
ini Audio=1
ini Master=100
ini Music=100
ini Effects=100
ini 
ini [Misc]
ini File manager=1
ini BMP to JPG=1
ini Game menu=1
ini Debug out=0
ini Editor mode=0
ini 
ini [Controls]
ini Act01=38
ini Act02=40
ini Act03=37
ini Act04=39
10 char 65 0
12 char 100 0
14 char 97 0
20 keydown 13 0
22 keyup 13 0
40 keydown 13 0
42 keyup 13 0
# at the hook the car stands 12 before the car shop entrance facing it: drive in, brake, stop
440 keydown 38 0
540 keyup 38 0
570 keydown 40 0
602 keyup 40 0
# on the car shop screen: CHANGE AUTO, CHANGE for the first showroom car, then leave
700 keydown 13 0
702 keyup 13 0
720 keydown 13 0
722 keyup 13 0
780 keydown 27 0
782 keyup 27 0
# drive off the forecourt, then wait past the entrance's hold-off
800 keydown 38 0
860 keyup 38 0
end 1150
