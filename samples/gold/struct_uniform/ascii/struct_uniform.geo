geometry written by make_gold_samples.py
step 1
node id off
element id off
part
         1
uniform
block uniform
         3         3         2
 1.00000e+00
 2.00000e+00
 3.00000e+00
 5.00000e-01
 2.50000e-01
 1.00000e+00
part
         2
after uniform
coordinates
         8
 0.00000e+00
 5.00000e-01
 1.00000e+00
 1.50000e+00
 0.00000e+00
 5.00000e-01
 1.00000e+00
 1.50000e+00
 0.00000e+00
 0.00000e+00
 0.00000e+00
 0.00000e+00
 5.00000e-01
 5.00000e-01
 5.00000e-01
 5.00000e-01
 0.00000e+00
 0.00000e+00
 0.00000e+00
 0.00000e+00
 0.00000e+00
 0.00000e+00
 0.00000e+00
 0.00000e+00
tria3
         2
         2         3         7
         2         7         6
quad4
         2
         1         2         6         5
         3         4         8         7
