geometry written by make_gold_samples.py
step 1
node id off
element id off
part
         1
curvilinear range
block range
         3         3         1
         1         2         1         2         1         1
 0.00000e+00
 5.00000e-01
 0.00000e+00
 5.00000e-01
 0.00000e+00
 0.00000e+00
 5.00000e-01
 5.00000e-01
 0.00000e+00
 0.00000e+00
 0.00000e+00
 0.00000e+00
part
         2
rectilinear range
block rectilinear range
         4         3         2
         2         3         1         3         1         2
 0.00000e+00
 1.00000e+00
 2.00000e+00
 3.00000e+00
 5.00000e+00
 5.50000e+00
 6.00000e+00
 0.00000e+00
 5.00000e-01
