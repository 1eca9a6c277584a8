geometry
with touching connectivity fields one digit long
node id off
element id off
coordinates
       3
 0.00000e+00 0.00000e+00 0.00000e+00
 1.00000e+00 0.00000e+00 0.00000e+00
 2.00000e+00 0.00000e+00 0.00000e+00
part 1
triangle
tria3
       1
000000010000000200000003
part 2
one digit long
tria3
       1
0000000100000002000000030
part 3
past the nodes
tria3
       1
       1       2       9
