dddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddd
written by make_ensight6_samples.py
node id off
element id off
coordinates
      12
-1.00000e+00 0.00000e+00 0.00000e+00
 1.00000e+00 0.00000e+00 0.00000e+00
-1.00000e+00 1.00000e+00 0.00000e+00
 1.00000e+00 1.00000e+00 0.00000e+00
-1.00000e+00 0.00000e+00 1.00000e+00
 1.00000e+00 0.00000e+00 1.00000e+00
-1.00000e+00 1.00000e+00 1.00000e+00
 1.00000e+00 1.00000e+00 1.00000e+00
-1.00000e+00 0.00000e+00 2.00000e+00
 1.00000e+00 0.00000e+00 2.00000e+00
-1.00000e+00 1.00000e+00 2.00000e+00
 1.00000e+00 1.00000e+00 2.00000e+00
part        1
tri and quad
tria3
       1
       1       2       4
quad4
       2
       3       4       6       5
       5       6       8       7
part        2
hexes
hexa8
       2
       1       2       4       3       5       6       8       7
       5       6       8       7       9      10      12      11
