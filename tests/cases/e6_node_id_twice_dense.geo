geometry
with a repeated node id
node id given
element id off
coordinates
       3
       5 0.00000e+00 0.00000e+00 0.00000e+00
       7 1.00000e+00 0.00000e+00 0.00000e+00
       5 2.00000e+00 0.00000e+00 0.00000e+00
part 1
triangle
tria3
       1
       7       5       7
