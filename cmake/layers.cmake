# The layers, in dependency order: a folder of src/ may include only itself and the folders
# before it in this list. This is the one place the order is written; src/CMakeLists.txt builds
# the layers in it and the layer-check test (tools/layer_check) enforces it on every #include.
set(QUENBO_LAYERS base script net core sites window forms settings ui update app qt)
