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
end 1100
