geometry
with a repeated node id
node id given
element id off
coordinates
       3
2000000000 0.00000e+00 0.00000e+00 0.00000e+00
       7 1.00000e+00 0.00000e+00 0.00000e+00
2000000000 2.00000e+00 0.00000e+00 0.00000e+00
part 1
triangle
tria3
       1
       7 2000000000       7
