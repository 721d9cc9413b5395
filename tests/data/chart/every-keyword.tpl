// Every keyword once: a whole chart assembled from text
surface
background 0 0 -1 -1 0 7 1 0 192 192 192

title 0 0 -1 34 0 0 4 0 255 255 255 160 190 255 90 0 0 128 "Arial" 14 1 1
data 0 34 290 -1 0 0 0 0 0 0 0 "Arial" 9 0 0 2 3 0 0
legend 295 40 395 120 0 1 1 0 255 255 255 0 0 0 "Arial" 9 0 0 0 20 0 1
label 40 60 0 0 0 0 0 0 0 0 160 "Arial" 9 0 0 150 60 0 0 0 4 0
annotation 1 Peak hour
labelblock 0 0 -1 -1 0 0 0 0 0 0 0 "Arial" 9 0 0
label 0 0 0 0 0 0 0 0 128 0 0 "Arial" 9 0 0 100 110 0 0 0 4 1
annotation 1 First
label 0 0 0 0 0 0 0 0 0 128 0 "Arial" 9 0 0 100 130 0 0 0 4 1
annotation 1 Second
endblock
annotation 2 The block's own text
// a panel and a watcher close nothing further
textpanel 295 130 395 200 0 1 1 0 255 255 220 0 0 0 "Arial" 9 0 0
datawatcher 295 210 395 280 0 1 5 0 "no such picture.bmp" 1 0 0 0 "Arial" 9 0 0