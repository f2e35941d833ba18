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
    <message>
        <source>许可证：%1</source>
        <translation>Licence: %1</translation>
    </message>
</context>
<context>
    <name>CInspectorPanel</name>
    <message>
        <source>像素检查</source>
        <translation>Pixel Inspector</translation>
    </message>
    <message>
        <source>像素历史</source>
        <translation>Pixel history</translation>
    </message>
    <message>
        <source>把鼠标移到画面上查看像素；单击固定一个像素，Shift 加方向键移动它。</source>
        <translation>Move the mouse over the picture to inspect a pixel; click to hold one, Shift with the arrow keys moves it.</translation>
    </message>
    <message>
        <source>像素 (%1, %2)，已固定（Esc 放开，单击别处改选）</source>
        <translation>Pixel (%1, %2), held (Esc lets go, a click elsewhere holds another)</translation>
    </message>
    <message>
        <source>像素 (%1, %2)，跟随鼠标（单击固定）</source>
        <translation>Pixel (%1, %2), following the mouse (click to hold)</translation>
    </message>
    <message>
        <source>所查看的像素</source>
        <translation>Pixel inspected</translation>
    </message>
    <message>
        <source>像素的事实</source>
        <translation>Facts of the pixel</translation>
    </message>
    <message>
        <source>顺序</source>
        <translation>Order</translation>
    </message>
    <message>
        <source>面片 i, j</source>
        <translation>Facet i, j</translation>
    </message>
    <message>
        <source>样本 x</source>
        <translation>Sample x</translation>
    </message>
    <message>
        <source>深度</source>
        <translation>Depth</translation>
    </message>
    <message>
        <source>比较的深度</source>
        <translation>Tested against</translation>
    </message>
    <message>
        <source>深度测试</source>
        <translation>Depth test</translation>
    </message>
    <message>
        <source>写入的颜色</source>
        <translation>Colour written</translation>
    </message>
    <message>
        <source>通过</source>
        <translation>passed</translation>
    </message>
    <message>
        <source>未通过</source>
        <translation>failed</translation>
    </message>
    <message>
        <source>（没有写入）</source>
        <translation>(nothing written)</translation>
    </message>
    <message>
        <source>像素历史：没有样本到达这个像素，它是背景。</source>
        <translation>Pixel history: no sample reached this pixel; it is background.</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>按 Enter 或双击一行，在逐步绘制中查看那个样本的面片和扫描线。</source>
        <translation>Press Enter or double-click a line to see that sample's facet and scanline in the stepper.</translation>
    </message>
    <message>
        <source>；</source>
        <translation>; </translation>
    </message>
    <message>
        <source>像素历史：按绘制顺序到达的 %1 个样本，%2 个通过深度测试，最后通过的一个写下了像素的颜色。</source>
        <translation>Pixel history: %1 samples reached the pixel, in drawing order; %2 passed the depth test, and the last to pass wrote the pixel's colour.</translation>
    </message>
    <message>
        <source>像素历史：线框写到这个像素 %1 次，不做深度测试，最后写入的颜色留下。</source>
        <translation>Pixel history: the wireframe wrote this pixel %1 times, without depth tests; the last colour written stays.</translation>
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
    <message>
        <source>逐步绘制(&amp;B)</source>
        <translation>Step Through a &amp;Frame</translation>
    </message>
    <message>
        <source>停止动画，按面片和扫描线逐步查看画面的绘制过程</source>
        <translation>Stops the animation and shows the frame being drawn, facet by facet and scanline by scanline</translation>
    </message>
    <message>
        <source>逐步绘制</source>
        <translation>Step Through a Frame</translation>
    </message>
    <message>
        <source>关于 Orbo(&amp;A)…</source>
        <translation>&amp;About Orbo…</translation>
    </message>
    <message>
        <source>显示程序信息和版本号</source>
        <translation>Show the program&apos;s information and version</translation>
    </message>
    <message>
        <source>在面板中显示光标下像素的坐标、颜色、深度、来源和历史；不选时按住 Shift 也可查看</source>
        <translation>Show the position, colour, depth, origin and history of the pixel under the cursor in a panel; without it, hold Shift to see them</translation>
    </message>
    <message>
        <source>深度缓冲(&amp;Z)</source>
        <translation>&amp;Depth Buffer</translation>
    </message>
    <message>
        <source>画面显示每一帧的深度缓冲：灰度表示深度，越近越亮</source>
        <translation>Show each frame&apos;s depth buffer: grey stands for depth, brighter is nearer</translation>
    </message>
    <message>
        <source>像素检查</source>
        <translation>Pixel Inspector</translation>
    </message>
    <message>
        <source>停止动画</source>
        <translation>Stop the animation</translation>
    </message>
    <message>
        <source>逐步绘制：%1</source>
        <translation>Step Through a Frame: %1</translation>
    </message>
    <message>
        <source>语言选择无法保存：无法写入设置文件 %1</source>
        <translation>The language choice could not be saved: the settings file %1 cannot be written</translation>
    </message>
    <message>
        <source>语言选择无法保存：设置文件 %1 不是普通文件</source>
        <translation>The language choice could not be saved: the settings file %1 is not a regular file</translation>
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
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>纹理模式没有纹理：%1</source>
        <translation>Texture mode has no texture: %1</translation>
    </message>
    <message>
        <source>纹理模式没有纹理：%1（%2）</source>
        <translation>Texture mode has no texture: %1 (%2)</translation>
    </message>
    <message>
        <source>拖动或按方向键转动圆环，Home 键复位；按住 Shift 查看像素，Shift 加方向键移动所查看的像素</source>
        <translation>Drag or press the arrow keys to turn the torus, Home turns it back; hold Shift to inspect a pixel, Shift with the arrow keys moves the pixel inspected</translation>
    </message>
    <message>
        <source>深度缓冲视图：灰度表示深度，越近越亮。</source>
        <translation>Depth buffer view: grey stands for depth, brighter is nearer. </translation>
    </message>
    <message>
        <source>线框没有深度缓冲：线条不做深度测试，按画出的先后覆盖。</source>
        <translation>The wireframe has no depth buffer: lines are not depth-tested, each covers what was drawn before it.</translation>
    </message>
    <message>
        <source>深度缓冲：下一帧带来深度。</source>
        <translation>Depth buffer: the next frame brings the depths.</translation>
    </message>
    <message>
        <source>深度缓冲：还没有画出任何像素（每格仍是 -1000）</source>
        <translation>Depth buffer: no pixel drawn yet (every cell still holds -1000)</translation>
    </message>
    <message>
        <source>深度缓冲（越大越近）：远 %1 … 近 %2</source>
        <translation>Depth buffer (larger is nearer): far %1 … near %2</translation>
    </message>
    <message>
        <source>蓝色：没有画出的像素，深度仍是初值 -1000</source>
        <translation>Blue: pixels not drawn, their depth still the initial -1000</translation>
    </message>
    <message>
        <source>画面绘制失败：内存不足</source>
        <translation>The frame could not be drawn: not enough memory</translation>
    </message>
    <message>
        <source>画面绘制失败：%1</source>
        <translation>The frame could not be drawn: %1</translation>
    </message>
    <message>
        <source>图片保存失败：内存不足</source>
        <translation>The picture could not be saved: not enough memory</translation>
    </message>
    <message>
        <source>图片复制失败：内存不足</source>
        <translation>The picture could not be copied: not enough memory</translation>
    </message>
</context>
<context>
    <name>CStepper</name>
    <message>
        <source>逐步绘制</source>
        <translation>Step Through a Frame</translation>
    </message>
    <message>
        <source>当前面片</source>
        <translation>Current facet</translation>
    </message>
    <message>
        <source>第一个</source>
        <translation>First</translation>
    </message>
    <message>
        <source>第一个面片</source>
        <translation>First facet</translation>
    </message>
    <message>
        <source>上一个</source>
        <translation>Previous</translation>
    </message>
    <message>
        <source>上一个面片</source>
        <translation>Previous facet</translation>
    </message>
    <message>
        <source>下一个</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>下一个面片</source>
        <translation>Next facet</translation>
    </message>
    <message>
        <source>最后</source>
        <translation>Last</translation>
    </message>
    <message>
        <source>最后一个面片</source>
        <translation>Last facet</translation>
    </message>
    <message>
        <source>已绘制的面片数</source>
        <translation>Facets drawn</translation>
    </message>
    <message>
        <source>上一条扫描线</source>
        <translation>Previous scanline</translation>
    </message>
    <message>
        <source>下一条扫描线</source>
        <translation>Next scanline</translation>
    </message>
    <message>
        <source>扫描线</source>
        <translation>Scanline</translation>
    </message>
    <message>
        <source>角点</source>
        <translation>Corner</translation>
    </message>
    <message>
        <source>x</source>
        <translation>x</translation>
    </message>
    <message>
        <source>y</source>
        <translation>y</translation>
    </message>
    <message>
        <source>深度</source>
        <translation>Depth</translation>
    </message>
    <message>
        <source>面片的角点</source>
        <translation>Corners of the facet</translation>
    </message>
    <message>
        <source>每行步长</source>
        <translation>Step per row</translation>
    </message>
    <message>
        <source>末行</source>
        <translation>Last row</translation>
    </message>
    <message>
        <source>活动边表</source>
        <translation>Active edge table</translation>
    </message>
    <message>
        <source>深度测试</source>
        <translation>Depth test</translation>
    </message>
    <message>
        <source>面片 %1 / %2</source>
        <translation>Facet %1 / %2</translation>
    </message>
    <message>
        <source> · i = %1, j = %2</source>
        <translation> · i = %1, j = %2</translation>
    </message>
    <message>
        <source> · 扫描线 y = %1</source>
        <translation> · scanline y = %1</translation>
    </message>
    <message>
        <source>线框按面片逐步绘制，没有扫描线。</source>
        <translation>The wireframe is stepped facet by facet; it has no scanlines.</translation>
    </message>
    <message>
        <source>还没有绘制面片。</source>
        <translation>No facet drawn yet.</translation>
    </message>
    <message>
        <source>整个面片（扫描线 y = %1 … %2）</source>
        <translation>The whole facet (scanlines y = %1 … %2)</translation>
    </message>
    <message>
        <source>整个面片（没有扫描线）</source>
        <translation>The whole facet (no scanlines)</translation>
    </message>
    <message>
        <source>扫描线 y = %1（第 %2 / %3 行）：不在图像内，未填充</source>
        <translation>Scanline y = %1 (row %2 / %3): outside the image, not filled</translation>
    </message>
    <message>
        <source>扫描线 y = %1（第 %2 / %3 行）</source>
        <translation>Scanline y = %1 (row %2 / %3)</translation>
    </message>
    <message>
        <source>按 ↑ 逐条扫描线填充当前面片。</source>
        <translation>Press ↑ to fill the current facet scanline by scanline.</translation>
    </message>
    <message>
        <source>播放</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>播放或暂停</source>
        <translation>Play or pause</translation>
    </message>
    <message>
        <source>按面片</source>
        <translation>By facet</translation>
    </message>
    <message>
        <source>按扫描线</source>
        <translation>By scanline</translation>
    </message>
    <message>
        <source>播放的步长</source>
        <translation>Step of the playback</translation>
    </message>
    <message>
        <source> 步/秒</source>
        <translation> steps/s</translation>
    </message>
    <message>
        <source>每秒的步数</source>
        <translation>Steps per second</translation>
    </message>
    <message>
        <source>逐步绘制：← → 上一个、下一个面片，Home、End 第一个、最后一个面片，↑ ↓ 下一条、上一条扫描线，P 播放或暂停；Shift 加方向键移动所查看的像素</source>
        <translation>Stepping through a frame: ← → previous, next facet, Home, End first, last facet, ↑ ↓ next, previous scanline, P play or pause; Shift with the arrow keys moves the pixel inspected</translation>
    </message>
    <message>
        <source>暂停</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>面片数</source>
        <translation>Facets</translation>
    </message>
    <message>
        <source>%1 个面片中有 %2 个朝向视点，按 i、j 的顺序逐个绘制；背向视点的 %3 个不画。</source>
        <translation>%2 of the %1 facets face the eye and are drawn one by one, in the order of i, then j; the %3 that face away are not drawn.</translation>
    </message>
    <message>
        <source>颜色（插值）</source>
        <translation>Colour (interpolated)</translation>
    </message>
    <message>
        <source>法向量（插值）</source>
        <translation>Normal (interpolated)</translation>
    </message>
    <message>
        <source>纹理坐标 u, v（插值）</source>
        <translation>Texture u, v (interpolated)</translation>
    </message>
    <message>
        <source>面片 (i, j)：i 是绕圆环轴的第几步，j 是绕截面的第几步，都从 0 数起。角点按 0–3 编号，画面上标在角点旁；深度越大越近。</source>
        <translation>Facet (i, j): i is the step around the ring&apos;s axis, j the step around the tube, both counted from 0. The corners are numbered 0–3, beside them in the picture too; a larger depth is nearer.</translation>
    </message>
    <message>
        <source>通过 %1，未通过 %2（样本的深度不小于该格已存的深度才通过；空白格存的是 -1000）</source>
        <translation>%1 passed, %2 failed (a sample passes when its depth is not less than the depth stored in its cell; an empty cell holds -1000)</translation>
    </message>
    <message>
        <source>深度测试：&lt;span style=&quot;color:%1&quot;&gt;■&lt;/span&gt; 通过 %2&#x3000;&lt;span style=&quot;color:%3&quot;&gt;■&lt;/span&gt; 未通过 %4&lt;br&gt;样本的深度不小于该格已存的深度才通过；空白格存的是 -1000。</source>
        <translation>Depth test: &lt;span style=&quot;color:%1&quot;&gt;■&lt;/span&gt; %2 passed  &lt;span style=&quot;color:%3&quot;&gt;■&lt;/span&gt; %4 failed&lt;br&gt;A sample passes when its depth is not less than the depth stored in its cell; an empty cell holds -1000.</translation>
    </message>
    <message>
        <source>第 0 列落了 %1 个样本：样本的列号是 x + 0.5 向零截断，x 在 -1.5 与 0.5 之间都落在第 0 列。它们的标记上下叠放。</source>
        <translation>Column 0 took %1 samples: a sample&apos;s column is x + 0.5 truncated toward zero, so every x between -1.5 and 0.5 lands in column 0. Their marks stand one above the other.</translation>
    </message>
    <message>
        <source>第 %1 列落了 %2 个样本：两段跨度在这一列相接。它们的标记上下叠放。</source>
        <translation>Column %1 took %2 samples: two spans meet there. Their marks stand one above the other.</translation>
    </message>
    <message>
        <source>列号</source>
        <translation>Columns</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>FailureText</name>
    <message>
        <source>没有权限</source>
        <translation>Permission denied</translation>
    </message>
    <message>
        <source>磁盘空间不足</source>
        <translation>Not enough disk space</translation>
    </message>
    <message>
        <source>文件系统是只读的</source>
        <translation>The file system is read-only</translation>
    </message>
    <message>
        <source>文件或文件夹不存在</source>
        <translation>The file or folder does not exist</translation>
    </message>
    <message>
        <source>路径中有一部分不是文件夹</source>
        <translation>Part of the path is not a folder</translation>
    </message>
    <message>
        <source>文件太大</source>
        <translation>The file is too large</translation>
    </message>
    <message>
        <source>这是一个文件夹，不是文件</source>
        <translation>This is a folder, not a file</translation>
    </message>
    <message>
        <source>没有程序在读取这个管道</source>
        <translation>No program is reading this pipe</translation>
    </message>
    <message>
        <source>文件名太长</source>
        <translation>The file name is too long</translation>
    </message>
    <message>
        <source>符号链接层数太多</source>
        <translation>Too many levels of symbolic links</translation>
    </message>
    <message>
        <source>读写出错</source>
        <translation>Input/output error</translation>
    </message>
    <message>
        <source>系统错误</source>
        <translation>System error</translation>
    </message>
    <message>
        <source>不是普通文件（是管道或设备）</source>
        <translation>Not a regular file (a pipe or a device)</translation>
    </message>
    <message>
        <source>文件是空的</source>
        <translation>The file is empty</translation>
    </message>
    <message>
        <source>文件太大，不能用作纹理</source>
        <translation>The file is too large to be a texture</translation>
    </message>
    <message>
        <source>不是 BMP、PNG 或 JPEG 图片</source>
        <translation>Not a BMP, PNG or JPEG image</translation>
    </message>
    <message>
        <source>文件不完整或已损坏</source>
        <translation>The file is truncated or corrupt</translation>
    </message>
    <message>
        <source>图片太大</source>
        <translation>The image is too large</translation>
    </message>
    <message>
        <source>内存不足</source>
        <translation>Not enough memory</translation>
    </message>
    <message>
        <source>画面是空的（宽或高为 0）</source>
        <translation>The picture is empty (its width or height is 0)</translation>
    </message>
    <message>
        <source>%1（%2）</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>；文件已损坏：它是原地写入的，原有内容已部分丢失</source>
        <translation>; the file is damaged: it was written in place and part of its old content is lost</translation>
    </message>
    <message>
        <source>设备不存在</source>
        <translation>The device is not there</translation>
    </message>
    <message>
        <source>读取的程序在两秒内没有接收数据，图片可能不完整</source>
        <translation>The program reading took in nothing for two seconds; the picture may be incomplete</translation>
    </message>
    <message>
        <source>这是一个套接字，不是文件</source>
        <translation>This is a socket, not a file</translation>
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
