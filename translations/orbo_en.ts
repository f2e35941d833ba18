<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>CAboutBox</name>
    <message>
        <source>关于 Orbo</source>
        <translation>About Orbo</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>版本 %1</source>
        <translation>Version %1</translation>
    </message>
</context>
<context>
    <name>CLeftPortion</name>
    <message>
        <source>圆环控制</source>
        <translation>Torus</translation>
    </message>
    <message>
        <source>环体半径</source>
        <translation>Ring radius</translation>
    </message>
    <message>
        <source>截面半径</source>
        <translation>Tube radius</translation>
    </message>
    <message>
        <source>表面级数</source>
        <translation>Ring steps</translation>
    </message>
    <message>
        <source>截面级数</source>
        <translation>Tube steps</translation>
    </message>
    <message>
        <source>模型分类</source>
        <translation>Drawing</translation>
    </message>
    <message>
        <source>线框</source>
        <translation>Wire</translation>
    </message>
    <message>
        <source>表面</source>
        <translation>Surface</translation>
    </message>
    <message>
        <source>纹理</source>
        <translation>Texture</translation>
    </message>
    <message>
        <source>光源开关</source>
        <translation>Light</translation>
    </message>
    <message>
        <source>关</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>开</source>
        <translation>On</translation>
    </message>
    <message>
        <source>明暗处理</source>
        <translation>Shading</translation>
    </message>
    <message>
        <source>Gouraud</source>
        <translation>Gouraud</translation>
    </message>
    <message>
        <source>Phong</source>
        <translation>Phong</translation>
    </message>
    <message>
        <source>选择纹理&gt;&gt;</source>
        <translation>Choose&gt;&gt;</translation>
    </message>
    <message>
        <source>面片总数：</source>
        <translation>Facets: </translation>
    </message>
    <message>
        <source>纹理映射</source>
        <translation>Texture mapping</translation>
    </message>
    <message>
        <source>位图文件(*.bmp);;图像文件(*.bmp *.png *.jpg *.jpeg);;All Files (*.*)</source>
        <translation>Bitmap files (*.bmp);;Image files (*.bmp *.png *.jpg *.jpeg);;All Files (*.*)</translation>
    </message>
    <message>
        <source>面片总数：%1</source>
        <translation>Facets: %1</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>纹理预览</source>
        <translation>Texture preview</translation>
    </message>
</context>
<context>
    <name>CMagnifier</name>
    <message>
        <source>放大镜 %1×</source>
        <translation>Magnifier %1×</translation>
    </message>
    <message>
        <source>放大镜</source>
        <translation>Magnifier</translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>退出(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>退出应用程序</source>
        <translation>Quit the application</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>动画</source>
        <translation>Animation</translation>
    </message>
    <message>
        <source>播放动画</source>
        <translation>Play the animation</translation>
    </message>
    <message>
        <source>关于 Orbo(&amp;A)...</source>
        <translation>&amp;About Orbo...</translation>
    </message>
    <message>
        <source>显示程序信息、版本号和版权</source>
        <translation>Display program information, version number and copyright</translation>
    </message>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>将当前画面保存为 PNG 图片</source>
        <translation>Save the current picture as a PNG image</translation>
    </message>
    <message>
        <source>将当前画面复制到剪贴板</source>
        <translation>Copy the current picture to the clipboard</translation>
    </message>
    <message>
        <source>显示光标下像素的坐标、颜色、深度和来源；不选时按住 Shift 也可查看</source>
        <translation>Show the position, colour, depth and origin of the pixel under the cursor; without it, hold Shift to see them</translation>
    </message>
    <message>
        <source>在小窗口中放大光标周围的像素；滚动鼠标滚轮改变倍数</source>
        <translation>Magnify the pixels around the cursor in a small window; turn the mouse wheel to change the zoom</translation>
    </message>
    <message>
        <source>文件(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>绘图(&amp;D)</source>
        <translation>&amp;Draw</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>重新启动 Orbo 后生效</source>
        <translation>Takes effect when Orbo starts again</translation>
    </message>
    <message>
        <source>工具栏</source>
        <translation>Toolbar</translation>
    </message>
    <message>
        <source>就绪</source>
        <translation>Ready</translation>
    </message>
    <message>
        <source>大写</source>
        <translation>CAP</translation>
    </message>
    <message>
        <source>数字</source>
        <translation>NUM</translation>
    </message>
    <message>
        <source>滚动</source>
        <translation>SCRL</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>播放</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>语言 Language(&amp;L)</source>
        <translation>&amp;Language</translation>
    </message>
    <message>
        <source>保存图片(&amp;S)…</source>
        <translation>&amp;Save Picture…</translation>
    </message>
    <message>
        <source>复制图片(&amp;C)</source>
        <translation>&amp;Copy Picture</translation>
    </message>
    <message>
        <source>像素检查(&amp;I)</source>
        <translation>Pixel &amp;Inspector</translation>
    </message>
    <message>
        <source>放大镜(&amp;M)</source>
        <translation>&amp;Magnifier</translation>
    </message>
</context>
<context>
    <name>COrboView</name>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>图片加载失败</source>
        <translation>The picture could not be loaded</translation>
    </message>
    <message>
        <source>保存图片</source>
        <translation>Save Picture</translation>
    </message>
    <message>
        <source>圆环.png</source>
        <translation>torus.png</translation>
    </message>
    <message>
        <source>PNG 图片 (*.png)</source>
        <translation>PNG images (*.png)</translation>
    </message>
    <message>
        <source>图片保存失败：%1
%2</source>
        <translation>The picture could not be saved: %1
%2</translation>
    </message>
    <message>
        <source>圆环画面</source>
        <translation>Torus picture</translation>
    </message>
    <message>
        <source>拖动或按方向键转动圆环，Home 键复位；按住 Shift 查看像素</source>
        <translation>Drag or press the arrow keys to turn the torus, Home to turn it back; hold Shift to inspect pixels</translation>
    </message>
</context>
<context>
    <name>InspectorText</name>
    <message>
        <source>坐标 (%1, %2)</source>
        <translation>Position (%1, %2)</translation>
    </message>
    <message>
        <source>颜色 %1</source>
        <translation>Colour %1</translation>
    </message>
    <message>
        <source>深度 无（线条不做深度测试）</source>
        <translation>Depth none (lines are not depth-tested)</translation>
    </message>
    <message>
        <source>深度 %1</source>
        <translation>Depth %1</translation>
    </message>
    <message>
        <source>深度 背景</source>
        <translation>Depth background</translation>
    </message>
    <message>
        <source>面片 无（背景）</source>
        <translation>Facet none (background)</translation>
    </message>
    <message>
        <source>面片 i = %1, j = %2</source>
        <translation>Facet i = %1, j = %2</translation>
    </message>
    <message>
        <source>插值法向 %1</source>
        <translation>Interpolated normal %1</translation>
    </message>
    <message>
        <source>插值颜色 %1</source>
        <translation>Interpolated colour %1</translation>
    </message>
    <message>
        <source>角点颜色 %1</source>
        <translation>Corner colours %1</translation>
    </message>
    <message>
        <source>纹素 (%1, %2)</source>
        <translation>Texel (%1, %2)</translation>
    </message>
</context>
</TS>
