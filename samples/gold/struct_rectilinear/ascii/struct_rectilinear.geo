geometry written by make_gold_samples.py
step 1
node id off
element id off
part
         1
rectilinear
block rectilinear
         2         3         4
 0.00000e+00
 1.50000e+00
 0.00000e+00
 5.00000e-01
 2.00000e+00
-1.00000e+00
 0.00000e+00
 2.50000e-01
 3.00000e+00
