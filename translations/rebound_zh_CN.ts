<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>FileFilter</name>
    <message>
        <source>Component(*.cmp;*.tmp;*.CMP;*.TMP;)</source>
        <translation>构件文件(*.cmp;*.tmp;*.CMP;*.TMP;)</translation>
    </message>
    <message>
        <source>Project(*.prj)</source>
        <translation>工程文件(*.prj)</translation>
    </message>
    <message>
        <source>All Files(*.*)</source>
        <translation>所有文件(*.*)</translation>
    </message>
    <message>
        <source>Excel(*.xls)</source>
        <translation>Excel 文件(*.xls)</translation>
    </message>
    <message>
        <source>Text(*.txt)</source>
        <translation>文本文件(*.txt)</translation>
    </message>
    <message>
        <source>Curve(*.cur)</source>
        <translation>测强曲线文件(*.cur)</translation>
    </message>
</context>
<context>
    <name>UserFolder</name>
    <message>
        <source>The shipped folder %1 is missing.</source>
        <translation>随程序安装的文件夹 %1 不存在。</translation>
    </message>
    <message>
        <source>Cannot create %1.</source>
        <translation>无法创建 %1。</translation>
    </message>
    <message>
        <source>Cannot read %1.</source>
        <translation>无法读取 %1。</translation>
    </message>
    <message>
        <source>Cannot write %1.</source>
        <translation>无法写入 %1。</translation>
    </message>
    <message>
        <source>Cannot copy %1 into %2.</source>
        <translation>无法将 %1 复制到 %2。</translation>
    </message>
</context>
<context>
    <name>UserPrompts</name>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>launcher</name>
    <message>
        <source>Cannot start %1.</source>
        <translation>无法启动 %1。</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Unexpected error!</source>
        <translation>意外错误！</translation>
    </message>
    <message>
        <source>Opens a project file or imports component files.</source>
        <translation>打开工程文件或导入构件文件。</translation>
    </message>
    <message>
        <source>Project (.prj) or component files.</source>
        <translation>工程文件 (.prj) 或构件文件。</translation>
    </message>
    <message>
        <source>[FILE...]</source>
        <translation>[文件...]</translation>
    </message>
</context>
<context>
    <name>rebound::AreaGrid</name>
    <message>
        <source>Carb.
Depth</source>
        <translation>碳化
深度</translation>
    </message>
    <message>
        <source>Rm
</source>
        <translation>平均
回弹值</translation>
    </message>
    <message>
        <source>Angle</source>
        <translation>测试
角度</translation>
    </message>
    <message>
        <source>Direction</source>
        <translation>测试面</translation>
    </message>
    <message>
        <source>Fcu
(MPa)</source>
        <translation>换算值
(MPa)</translation>
    </message>
    <message>
        <source>Horizontal</source>
        <extracomment>The tested surface: a side face, struck with the hammer held level.</extracomment>
        <translation>侧面</translation>
    </message>
    <message>
        <source>Downwards</source>
        <extracomment>The tested surface: the top (cast) face, struck from above.</extracomment>
        <translation>顶面</translation>
    </message>
    <message>
        <source>Upwards</source>
        <extracomment>The tested surface: the bottom face, struck from below.</extracomment>
        <translation>底面</translation>
    </message>
    <message>
        <source>Not recalculated</source>
        <translation>未重新计算</translation>
    </message>
    <message>
        <source>The figures were not recalculated: %1</source>
        <translation>数值未重新计算：%1</translation>
    </message>
</context>
<context>
    <name>rebound::ComponentList</name>
    <message>
        <source>NO.</source>
        <translation>序号</translation>
    </message>
    <message>
        <source>Component Name</source>
        <translation>构件名称</translation>
    </message>
    <message>
        <source>Date&amp;Time</source>
        <translation>检测日期</translation>
    </message>
</context>
<context>
    <name>rebound::ComponentPanel</name>
    <message>
        <source>Component Name:</source>
        <translation>构件名称：</translation>
    </message>
    <message>
        <source>Date:</source>
        <translation>检测日期：</translation>
    </message>
    <message>
        <source>Test Ares Numbers:</source>
        <extracomment>The number of test areas; the English label is spelt so on purpose.</extracomment>
        <translation>测区数：</translation>
    </message>
    <message>
        <source>Pump:</source>
        <translation>泵送：</translation>
    </message>
    <message>
        <source>Conv.Curve:</source>
        <translation>测强曲线：</translation>
    </message>
    <message>
        <source>Fcue:</source>
        <extracomment>The component&apos;s estimated strength.</extracomment>
        <translation>推定值：</translation>
    </message>
    <message>
        <source>F.min:</source>
        <translation>最小值：</translation>
    </message>
    <message>
        <source>F.Avg:</source>
        <translation>平均值：</translation>
    </message>
    <message>
        <source>F.SD:</source>
        <translation>标准差：</translation>
    </message>
    <message>
        <source> Component
Description</source>
        <translation>构件描述：</translation>
    </message>
    <message>
        <source>Date of component %1</source>
        <translation>构件 %1 的检测日期</translation>
    </message>
    <message>
        <source>Strength Grade:</source>
        <translation>强度等级：</translation>
    </message>
</context>
<context>
    <name>rebound::ProjectDocument</name>
    <message>
        <source>Edit Project Header</source>
        <translation>编辑工程信息</translation>
    </message>
    <message>
        <source>Delete Component</source>
        <translation>删除构件</translation>
    </message>
    <message>
        <source>Import Component</source>
        <translation>导入构件</translation>
    </message>
    <message>
        <source>Create Component</source>
        <translation>新建构件</translation>
    </message>
    <message>
        <source>Create Area</source>
        <translation>新建测区</translation>
    </message>
    <message>
        <source>Remove Area</source>
        <translation>删除测区</translation>
    </message>
    <message>
        <source>Edit Component Name</source>
        <translation>编辑构件名称</translation>
    </message>
    <message>
        <source>Edit Component Description</source>
        <translation>编辑构件描述</translation>
    </message>
    <message>
        <source>Edit Pumped Concrete</source>
        <translation>编辑泵送</translation>
    </message>
    <message>
        <source>Check Component</source>
        <translation>勾选构件</translation>
    </message>
    <message>
        <source>Calculate</source>
        <translation>计算</translation>
    </message>
    <message>
        <source>Edit Reading</source>
        <translation>编辑回弹值</translation>
    </message>
    <message>
        <source>Edit Carbonation Depth</source>
        <translation>编辑碳化深度</translation>
    </message>
    <message>
        <source>Edit Hammer Angle</source>
        <translation>编辑测试角度</translation>
    </message>
    <message>
        <source>Edit Tested Surface</source>
        <translation>编辑测试面</translation>
    </message>
    <message>
        <source>Edit Component Date</source>
        <translation>编辑检测日期</translation>
    </message>
    <message>
        <source>Edit Strength Grade</source>
        <translation>编辑强度等级</translation>
    </message>
</context>
<context>
    <name>rebound::ProjectPanel</name>
    <message>
        <source>Project Name:</source>
        <translation>工程名称：</translation>
    </message>
    <message>
        <source>Report NO.:</source>
        <translation>报告编号：</translation>
    </message>
    <message>
        <source>Measurement NO.:</source>
        <translation>检测编号：</translation>
    </message>
    <message>
        <source>Standard:</source>
        <translation>检测依据：</translation>
    </message>
    <message>
        <source>Project Description:</source>
        <translation>工程概况：</translation>
    </message>
    <message>
        <source>Entrustment
  Company</source>
        <translation>委托单位：</translation>
    </message>
    <message>
        <source>Measurement Date:</source>
        <translation>检测日期：</translation>
    </message>
    <message>
        <source>Project Address:</source>
        <translation>工程地址：</translation>
    </message>
    <message>
        <source>Supervisory
Organization</source>
        <translation>监理单位：</translation>
    </message>
    <message>
        <source>     Concrete 
Production Departmen</source>
        <extracomment>The concrete producer; the English label is spelt so on purpose.</extracomment>
        <translation>混凝土生产单位：</translation>
    </message>
    <message>
        <source>Measurement Date</source>
        <translation>检测日期</translation>
    </message>
</context>
<context>
    <name>rebound::ReportCommands</name>
    <message>
        <source>Print Preview Error!</source>
        <translation>打印预览出错！</translation>
    </message>
    <message>
        <source>Save File Fail!</source>
        <translation>保存文件失败！</translation>
    </message>
</context>
<context>
    <name>rebound::TAboutBox</name>
    <message>
        <source>About...</source>
        <translation>关于...</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>rebound::TLoadStrengthCurveFrm</name>
    <message>
        <source>加载测强曲线</source>
        <translation>加载测强曲线</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>当前测强曲线：</source>
        <translation>当前测强曲线：</translation>
    </message>
    <message>
        <source>Curve folder not found!</source>
        <translation>找不到测强曲线文件夹！</translation>
    </message>
    <message>
        <source>The strength curve %1 cannot be read.</source>
        <translation>无法读取测强曲线%1。</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1：%2</translation>
    </message>
    <message>
        <source>The strength curve %1 is used now, but the choice could not be saved for the next start.</source>
        <translation>现在使用测强曲线%1，但该选择未能保存，下次启动时不会沿用。</translation>
    </message>
</context>
<context>
    <name>rebound::TSDIAppForm</name>
    <message>
        <source>New Project(&amp;N)</source>
        <translation>新建工程(&amp;N)</translation>
    </message>
    <message>
        <source>新建工程文件</source>
        <translation>新建工程文件</translation>
    </message>
    <message>
        <source>Open Project(&amp;O)</source>
        <translation>打开工程(&amp;O)</translation>
    </message>
    <message>
        <source>打开工程文件</source>
        <translation>打开工程文件</translation>
    </message>
    <message>
        <source>Save(&amp;S)</source>
        <translation>保存(&amp;S)</translation>
    </message>
    <message>
        <source>Save project</source>
        <translation>保存工程</translation>
    </message>
    <message>
        <source>Save as(&amp;A)...</source>
        <translation>另存为(&amp;A)...</translation>
    </message>
    <message>
        <source>Save as the project</source>
        <translation>将工程另存为</translation>
    </message>
    <message>
        <source>Quit(&amp;X)</source>
        <translation>退出(&amp;X)</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>剪切(&amp;T)</translation>
    </message>
    <message>
        <source>剪切</source>
        <translation>剪切</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>复制(&amp;C)</translation>
    </message>
    <message>
        <source>拷贝</source>
        <translation>拷贝</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>粘贴(&amp;P)</translation>
    </message>
    <message>
        <source>粘贴</source>
        <translation>粘贴</translation>
    </message>
    <message>
        <source>Abort(&amp;A)</source>
        <extracomment>Opens the About box; the English caption is spelt so on purpose.</extracomment>
        <translation>关于(&amp;A)</translation>
    </message>
    <message>
        <source>关于</source>
        <translation>关于</translation>
    </message>
    <message>
        <source>新建构件(&amp;C)</source>
        <translation>新建构件(&amp;C)</translation>
    </message>
    <message>
        <source>新建构件</source>
        <translation>新建构件</translation>
    </message>
    <message>
        <source>Delete Component(&amp;D)</source>
        <translation>删除构件(&amp;D)</translation>
    </message>
    <message>
        <source>删除构件</source>
        <translation>删除构件</translation>
    </message>
    <message>
        <source>Import Component(&amp;I)</source>
        <translation>导入构件(&amp;I)</translation>
    </message>
    <message>
        <source>导入构件</source>
        <translation>导入构件</translation>
    </message>
    <message>
        <source>导出构件(&amp;E)</source>
        <translation>导出构件(&amp;E)</translation>
    </message>
    <message>
        <source>导出构件</source>
        <translation>导出构件</translation>
    </message>
    <message>
        <source>新建测区(&amp;A)</source>
        <translation>新建测区(&amp;A)</translation>
    </message>
    <message>
        <source>新建测区</source>
        <translation>新建测区</translation>
    </message>
    <message>
        <source>删除测区(&amp;R)</source>
        <translation>删除测区(&amp;R)</translation>
    </message>
    <message>
        <source>删除测区</source>
        <translation>删除测区</translation>
    </message>
    <message>
        <source>导出到文本</source>
        <translation>导出到文本</translation>
    </message>
    <message>
        <source>将报告输出为文本</source>
        <translation>将报告输出为文本</translation>
    </message>
    <message>
        <source>导出到Excel</source>
        <translation>导出到Excel</translation>
    </message>
    <message>
        <source>将报告生成为Excel</source>
        <translation>将报告生成为Excel</translation>
    </message>
    <message>
        <source>Print Setup(&amp;U)</source>
        <translation>打印设置(&amp;U)</translation>
    </message>
    <message>
        <source>打印设置</source>
        <translation>打印设置</translation>
    </message>
    <message>
        <source>Print Preview(&amp;V)</source>
        <translation>打印预览(&amp;V)</translation>
    </message>
    <message>
        <source>打印预览</source>
        <translation>打印预览</translation>
    </message>
    <message>
        <source>建立测强曲线(&amp;B)</source>
        <translation>建立测强曲线(&amp;B)</translation>
    </message>
    <message>
        <source>建立测强曲线</source>
        <translation>建立测强曲线</translation>
    </message>
    <message>
        <source>输出报告文档(&amp;X)</source>
        <translation>输出报告文档(&amp;X)</translation>
    </message>
    <message>
        <source>输出报告</source>
        <translation>输出报告</translation>
    </message>
    <message>
        <source>计算单个构件(&amp;S)</source>
        <translation>计算单个构件(&amp;S)</translation>
    </message>
    <message>
        <source>计算</source>
        <translation>计算</translation>
    </message>
    <message>
        <source>计算批量构件(&amp;G)</source>
        <translation>计算批量构件(&amp;G)</translation>
    </message>
    <message>
        <source>批量计算</source>
        <translation>批量计算</translation>
    </message>
    <message>
        <source>Print(&amp;P)</source>
        <translation>打印(&amp;P)</translation>
    </message>
    <message>
        <source>打印</source>
        <translation>打印</translation>
    </message>
    <message>
        <source>加载测强曲线</source>
        <translation>加载测强曲线</translation>
    </message>
    <message>
        <source>File(&amp;F)</source>
        <translation>文件(&amp;F)</translation>
    </message>
    <message>
        <source>File related commands</source>
        <translation>文件相关命令</translation>
    </message>
    <message>
        <source>Recent Projects</source>
        <translation>最近的工程</translation>
    </message>
    <message>
        <source>Export Text File</source>
        <translation>导出文本文件</translation>
    </message>
    <message>
        <source>Export to Excel</source>
        <translation>导出到Excel</translation>
    </message>
    <message>
        <source>Edit(&amp;E)</source>
        <translation>编辑(&amp;E)</translation>
    </message>
    <message>
        <source>Edit commands</source>
        <translation>编辑命令</translation>
    </message>
    <message>
        <source>Data(&amp;D)</source>
        <translation>数据(&amp;D)</translation>
    </message>
    <message>
        <source>Caculate(&amp;S)</source>
        <extracomment>Calculates the current component; the English caption is spelt so on purpose.</extracomment>
        <translation>计算(&amp;S)</translation>
    </message>
    <message>
        <source>Delect Component(&amp;D)</source>
        <extracomment>Deletes the selected component; the English caption is spelt so on purpose.</extracomment>
        <translation>删除构件(&amp;D)</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 已存在。
要替换它吗？</translation>
    </message>
    <message>
        <source>Save Project Fail!</source>
        <translation>保存工程失败！</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1：%2</translation>
    </message>
    <message>
        <source>Save changes to current project?</source>
        <translation>是否保存对当前工程的修改？</translation>
    </message>
    <message>
        <source>Open Project Fail!</source>
        <translation>打开工程失败！</translation>
    </message>
    <message>
        <source>Import Component</source>
        <translation>导入构件</translation>
    </message>
    <message numerus="yes">
        <source>Importing %n component file(s)...</source>
        <translation>
            <numerusform>正在导入 %n 个构件文件...</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>... and %n more</source>
        <translation>
            <numerusform>……另有 %n 个</numerusform>
        </translation>
    </message>
    <message>
        <source>These components are already in the project with the same name, date and readings:</source>
        <translation>下列构件已在工程中，名称、日期和回弹值均相同：</translation>
    </message>
    <message>
        <source>Skip them? (No imports them again.)</source>
        <translation>跳过这些构件吗？（选“否”则再次导入。）</translation>
    </message>
    <message>
        <source>Import Component Fail!</source>
        <translation>导入构件失败！</translation>
    </message>
    <message>
        <source>Save File Fail!</source>
        <translation>保存文件失败！</translation>
    </message>
    <message>
        <source>Delete component &quot;%1&quot;?</source>
        <translation>删除构件“%1”吗？</translation>
    </message>
    <message>
        <source>您所使用的测强曲线</source>
        <translation>您所使用的测强曲线</translation>
    </message>
    <message>
        <source>不存在！</source>
        <translation>不存在！</translation>
    </message>
    <message>
        <source>计算测强曲线</source>
        <translation>计算测强曲线</translation>
    </message>
    <message>
        <source>输出报告文档</source>
        <translation>输出报告文档</translation>
    </message>
    <message>
        <source>批量计算构件</source>
        <translation>批量计算构件</translation>
    </message>
    <message>
        <source>测强曲线读取失败！</source>
        <translation>测强曲线读取失败！</translation>
    </message>
    <message>
        <source>These are neither projects nor component files and were not opened:</source>
        <translation>下列文件既不是工程文件也不是构件文件，未打开：</translation>
    </message>
    <message>
        <source>Only one project can be open at a time; these were not opened:</source>
        <translation>一次只能打开一个工程，下列工程未打开：</translation>
    </message>
    <message>
        <source>The project file %1 no longer exists; it was removed from the recent projects.</source>
        <translation>工程文件 %1 已不存在，已从最近的工程中移除。</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>语言</translation>
    </message>
    <message>
        <source>System Default</source>
        <translation>跟随系统</translation>
    </message>
    <message>
        <source>The window will be shown in %1 from the next start of the program.</source>
        <translation>下次启动程序时，窗口将以%1显示。</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; is not a date; today&apos;s date is shown instead!</source>
        <translation>%1：“%2”不是日期，已改为显示今天的日期！</translation>
    </message>
    <message>
        <source>no such file</source>
        <translation>文件不存在</translation>
    </message>
    <message>
        <source>it is a folder, not a file</source>
        <translation>它是文件夹，不是文件</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>它不是普通文件</translation>
    </message>
    <message>
        <source>it cannot be opened</source>
        <translation>无法打开该文件</translation>
    </message>
    <message>
        <source>its header announces %1 rows and %2 columns; the evaluation needs at least %3 rows and %4 columns</source>
        <translation>文件头标明 %1 行 %2 列，计算至少需要 %3 行 %4 列</translation>
    </message>
    <message>
        <source>it holds %1 of the %2 values its header announces</source>
        <translation>文件头标明 %2 个数值，实际只有 %1 个</translation>
    </message>
    <message>
        <source>the value at row %1, column %2 (counted from 0) is %3</source>
        <translation>第 %1 行第 %2 列（从 0 计）的数值为 %3</translation>
    </message>
    <message>
        <source>the value at row %1, column %2 (counted from 0) is %3 MPa, outside 0 to %4 MPa</source>
        <translation>第 %1 行第 %2 列（从 0 计）的数值为 %3 MPa，超出 0 至 %4 MPa 的范围</translation>
    </message>
    <message>
        <source>The strength curve %1 cannot be used: %2.
Nothing was calculated.</source>
        <translation>测强曲线 %1 无法使用：%2。
未进行计算。</translation>
    </message>
    <message>
        <source>Areas below the range of the strength curve, without a strength: %1</source>
        <translation>低于测强曲线范围、无强度换算值的测区：%1</translation>
    </message>
    <message>
        <source>Areas above the range of the strength curve, without a strength: %1</source>
        <translation>高于测强曲线范围、无强度换算值的测区：%1</translation>
    </message>
    <message>
        <source>The estimated strength is not valid with this curve.</source>
        <translation>用此测强曲线得出的推定值无效。</translation>
    </message>
    <message>
        <source>Carbonation was not measured in any area; the areas were converted at 0.0 mm.</source>
        <translation>所有测区均未测量碳化深度，各测区按碳化深度 0.0 mm 换算。</translation>
    </message>
    <message>
        <source>Component %1:</source>
        <translation>构件 %1：</translation>
    </message>
    <message>
        <source>Test Records</source>
        <translation>检测原始记录</translation>
    </message>
    <message>
        <source>Preview the test records of every component</source>
        <translation>预览各构件的检测原始记录</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>撤销</translation>
    </message>
    <message>
        <source>Undo the last change</source>
        <translation>撤销上一步修改</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>重做</translation>
    </message>
    <message>
        <source>Redo the change undone last</source>
        <translation>重做上一步撤销的修改</translation>
    </message>
    <message>
        <source>Edit Test Data(&amp;T)</source>
        <translation>编辑测试数据(&amp;T)</translation>
    </message>
    <message>
        <source>Create components and areas, and edit readings and conditions in the grid</source>
        <translation>新建构件和测区，并在表格中编辑回弹值和测试条件</translation>
    </message>
    <message>
        <source>Undo %1</source>
        <translation>撤销%1</translation>
    </message>
    <message>
        <source>Redo %1</source>
        <translation>重做%1</translation>
    </message>
    <message>
        <source>Your settings (recent projects, edit mode, window layout) could not be saved:</source>
        <translation>无法保存您的设置（最近的工程、编辑模式、窗口布局）：</translation>
    </message>
    <message>
        <source>%1 cannot be written.</source>
        <translation>无法写入%1。</translation>
    </message>
    <message>
        <source>%1 is not a settings file.</source>
        <translation>%1不是设置文件。</translation>
    </message>
</context>
<context>
    <name>rebound::TStrengthCurve_Syn_Form</name>
    <message>
        <source>Choices Dialog</source>
        <translation>选择对话框</translation>
    </message>
    <message>
        <source>设备曲线：</source>
        <translation>设备曲线：</translation>
    </message>
    <message>
        <source>本机曲线：</source>
        <translation>本机曲线：</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
</TS>
