geometry
with an element past the largest node id
node id given
element id off
coordinates
       3
       1 0.00000e+00 0.00000e+00 0.00000e+00
       2 1.00000e+00 0.00000e+00 0.00000e+00
       3 2.00000e+00 0.00000e+00 0.00000e+00
part 1
triangle
tria3
       1
       1       2       4
