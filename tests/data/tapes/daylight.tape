morvaine-tape 1
step 50
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
10 keydown 40 0
11 keyup 40 0
20 keydown 13 0
22 keyup 13 0
24 keydown 8 0
25 keyup 8 0
27 keydown 8 0
28 keyup 8 0
30 keydown 8 0
31 keyup 8 0
33 keydown 8 0
34 keyup 8 0
36 keydown 8 0
37 keyup 8 0
39 keydown 8 0
40 keyup 8 0
42 keydown 8 0
43 keyup 8 0
45 keydown 8 0
46 keyup 8 0
48 char 65 0
50 char 100 0
52 char 97 0
58 keydown 13 0
60 keyup 13 0
78 keydown 13 0
80 keyup 13 0
88 keydown 38 0
89 keyup 38 0
98 keydown 13 0
100 keyup 13 0
1080 keydown 13 0
1081 keyup 13 0
1092 keydown 13 0
1093 keyup 13 0
1104 keydown 13 0
1105 keyup 13 0
1116 keydown 13 0
1117 keyup 13 0
1128 keydown 13 0
1129 keyup 13 0
1140 keydown 13 0
1141 keyup 13 0
1152 keydown 13 0
1153 keyup 13 0
1164 keydown 13 0
1165 keyup 13 0
1176 keydown 13 0
1177 keyup 13 0
1188 keydown 13 0
1189 keyup 13 0
1200 keydown 13 0
1201 keyup 13 0
1212 keydown 13 0
1213 keyup 13 0
1224 keydown 13 0
1225 keyup 13 0
5880 keydown 82 0
5881 keyup 82 0
5890 keydown 38 0
6010 keyup 38 0
end 6100
